#pragma once

#include <string>

// What a MIDI operation came to; the numbers are the platform's own codes.
enum class MidiError {
    None = 0,
    Failed = 1,
    BadDevice = 2,
    Allocated = 4,
    InvalidHandle = 5,
    StillPlaying = 65,
    NotReady = 67,
    ServerStopped = 68,   // the MIDI server stopped while the port was open
    DestinationGone = 69, // the port at the other end of the connection went away
};

// What an outcome means, as a sentence part: "sending failed: <text>".
inline std::string Text(MidiError error) {
    switch (error) {
    case MidiError::None:
        return "no error";
    case MidiError::BadDevice:
        return "there is no such port";
    case MidiError::Allocated:
        return "the port is already in use";
    case MidiError::InvalidHandle:
        return "the port is not open";
    case MidiError::StillPlaying:
        return "a receive buffer is still queued";
    case MidiError::NotReady:
        return "the port is not ready";
    case MidiError::ServerStopped:
        return "the MIDI server stopped";
    case MidiError::DestinationGone:
        return "the port it was connected to went away";
    case MidiError::Failed:
        break;
    }
    return "the MIDI system reported a failure";
}
