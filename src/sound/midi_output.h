#pragma once

#include <cstdint>
#include <span>

// Where the message builders hand their bytes: the MIDI layer implements it
// for a real or virtual device, tests record what arrives.
class MidiOutput {
public:
    virtual ~MidiOutput() = default;
    // One complete system-exclusive message (or a file's bytes), sent as is.
    virtual void SendLongMessage(std::span<const std::uint8_t> bytes) = 0;
    // A channel message packed as status | data1 << 8 | data2 << 16.
    virtual void SendShortMessage(std::uint32_t message) = 0;
    // All notes off on all channels.
    virtual void ResetMidiOut() {}
};
