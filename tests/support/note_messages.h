#pragma once

#include <array>
#include <cstdint>

// Note messages on channel 1 as RecordingMidiOutput::ShortMessageBytes gives
// them: status, note, velocity (full for a note-on, none for a note-off).
using NoteMessage = std::array<std::uint8_t, 3>;

inline NoteMessage NoteOn(int note) {
    return {0x90, static_cast<std::uint8_t>(note), 127};
}
inline NoteMessage NoteOff(int note) {
    return {0x80, static_cast<std::uint8_t>(note), 0};
}
