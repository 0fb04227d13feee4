#pragma once

#include "midi_output.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// One key of the computer-key note player: the note label shown for it and
// the letter key that plays it.
struct KeyboardKey {
    const char* Label;
    char Key; // upper-case letter, also the key code that is polled
};

// Index = semitones above the octave's base note. The labels of entries
// 0..11 double as note names in the sound editor.
inline constexpr std::array<KeyboardKey, 16> KeyboardKeys = {{
    {"C", 'A'},
    {"C#", 'W'},
    {"D", 'S'},
    {"D#", 'E'},
    {"E", 'D'},
    {"F", 'F'},
    {"F#", 'T'},
    {"G", 'G'},
    {"G#", 'Y'},
    {"A", 'H'},
    {"A#", 'U'},
    {"H", 'J'},
    {"C1", 'K'},
    {"C#1", 'O'},
    {"D1", 'L'},
    {"D#1", 'P'},
}};

// Plays notes from the computer keys: each poll compares which keys are down
// with the notes it has started and sends note-on and note-off to match.
// It knows nothing of timers or windows; the caller polls it.
class NotePlayer {
public:
    static constexpr int MinOctave = 0;
    static constexpr int MaxOctave = 10;
    static constexpr int StartOctave = 4;
    static constexpr int HighestNote = 127;

    // Answers whether the key of a table entry (its upper-case letter) is down.
    using KeyDownQuery = std::function<bool(char key)>;

    explicit NotePlayer(MidiOutput& output) : output_(output) {}

    std::uint8_t KeyboardOctave = StartOctave;
    int KeyboardChannel = 0;
    // One flag per state index (octave x 12 + key index): 1 while the key is
    // held and its note-on has been sent.
    std::array<std::uint8_t, 128> KeyNoteOn{};

    // Octave steps stop at the limits.
    void LowerOctave();
    void RaiseOctave();
    // "Octave " followed by the octave number.
    std::string OctaveCaption() const;

    // One poll of the sixteen keys. A key whose note would lie above 127 does
    // nothing.
    void Poll(const KeyDownQuery& keyDown);
    // Sends a note-off for every note still on and clears all flags.
    void ReleaseAllNotes();
    bool AnyNoteOn() const;

private:
    MidiOutput& output_;
};

// The windows in whose presence the computer keys play notes: the main
// window, the sound editor, Q-Morph and the parameter locker.
bool NotesPlayableIn(std::string_view windowClass);
