#pragma once

#include <array>
#include <string>

// Note names by value mod 12; the semitone below C is "H".
inline constexpr std::array<const char*, 12> NoteNames = {"C",  "C#", "D",  "D#", "E",  "F",
                                                          "F#", "G",  "G#", "A",  "A#", "H"};

// The name of note v (v >= 0) followed directly by its octave v div 12:
// 0 gives C0, 60 gives C5, 127 gives G10.
std::string NoteLabel(int v);
