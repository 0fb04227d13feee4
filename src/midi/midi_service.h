#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
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

// The one interface to the platform's MIDI: device lists per direction,
// inputs with a callback and one receive buffer each, and outputs.
// Every operation that can fail returns MidiError::None on success.
class MidiService {
public:
    using Handle = int;
    static constexpr Handle NoHandle = -1;

    enum class InputEvent {
        ShortData, // a short message arrived (packed: status, data 1 << 8, data 2 << 16)
        LongData,  // the queued receive buffer was handed back with a SysEx message in it
    };
    // Runs on the service's thread; must not touch windows or library data.
    using InputCallback = std::function<void(InputEvent event, std::uint32_t shortMessage)>;

    virtual ~MidiService() = default;

    virtual int InputDeviceCount() = 0;
    virtual std::string InputDeviceName(int device) = 0;
    virtual int OutputDeviceCount() = 0;
    virtual std::string OutputDeviceName(int device) = 0;

    virtual MidiError OpenInput(int device, InputCallback callback, Handle& handle) = 0;
    virtual MidiError StartInput(Handle handle) = 0;
    virtual MidiError StopInput(Handle handle) = 0;
    virtual MidiError CloseInput(Handle handle) = 0;
    // Queues one buffer for the next complete SysEx message: the first `size`
    // bytes are written to `buffer`, then it is handed back (LongData) and
    // no longer queued. Queuing again replaces a buffer still queued.
    virtual MidiError QueueReceiveBuffer(Handle handle, std::uint8_t* buffer, std::size_t size) = 0;
    // Releases the buffer; refused (StillPlaying) while it is still queued.
    virtual MidiError ReleaseReceiveBuffer(Handle handle) = 0;
    // Bytes written into the buffer last handed back.
    virtual std::size_t ReceivedBytes(Handle handle) = 0;

    virtual MidiError OpenOutput(int device, Handle& handle) = 0;
    virtual MidiError CloseOutput(Handle handle) = 0;
    virtual MidiError SendShort(Handle handle, std::uint32_t message) = 0;
    virtual MidiError SendLong(Handle handle, std::span<const std::uint8_t> bytes) = 0;
    // All notes off on every channel.
    virtual MidiError ResetOutput(Handle handle) = 0;
};
