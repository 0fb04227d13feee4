#pragma once

#include "midi_error.h"

#include <cstdint>
#include <span>

// Where the message builders hand their bytes: the MIDI layer implements it
// for a real or virtual device, tests record what arrives. Every send says
// what came of it.
class MidiOutput {
public:
    virtual ~MidiOutput() = default;
    // One complete system-exclusive message (or a file's bytes), sent as is.
    virtual MidiError SendLongMessage(std::span<const std::uint8_t> bytes) = 0;
    // A channel message packed as status | data1 << 8 | data2 << 16.
    virtual MidiError SendShortMessage(std::uint32_t message) = 0;
    // Short messages that only mean something together (an NRPN's four):
    // they go out whole or not at all. This default sends one after another
    // and stops at the first failure; an output that can queue several at
    // once overrides it.
    virtual MidiError SendShortMessages(std::span<const std::uint32_t> messages) {
        for (const std::uint32_t message : messages)
            if (const MidiError error = SendShortMessage(message); error != MidiError::None)
                return error;
        return MidiError::None;
    }
    // All notes off on all channels.
    virtual MidiError ResetMidiOut() { return MidiError::None; }
};
