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
// A key plays one note from its press to its release: changing the octave
// meanwhile changes only the notes of later presses. It knows nothing of
// timers or windows; the caller polls it.
class NotePlayer {
public:
    static constexpr int MinOctave = 0;
    static constexpr int MaxOctave = 10;
    static constexpr int StartOctave = 4;
    static constexpr int HighestNote = 127;
    static constexpr int NoNote = -1;

    // Answers whether the key of a table entry (its upper-case letter) is down.
    using KeyDownQuery = std::function<bool(char key)>;

    explicit NotePlayer(MidiOutput& output) : output_(output) {}

    // The octave the lowest key plays in, MinOctave..MaxOctave.
    int Octave() const { return octave_; }
    void SetOctave(int octave);
    // The instrument's channel, 0..15, that notes go out on.
    void SetChannel(int channel) { channel_ = channel; }

    // Octave steps stop at the limits.
    void LowerOctave();
    void RaiseOctave();
    // "Octave " followed by the octave number.
    std::string OctaveCaption() const;

    // One poll of the sixteen keys. A key whose note would lie above 127 does
    // nothing.
    // Returns the first send that failed, or MidiError::None.
    MidiError Poll(const KeyDownQuery& keyDown);
    // Sends a note-off for every note still on; the keys count as released.
    MidiError ReleaseAllNotes();
    bool AnyNoteOn() const;

private:
    int octave_ = StartOctave;
    int channel_ = 0;
    // Per key of the table: the note its press started and that is still on,
    // or NoNote. The release ends this note, whatever the octave is by then.
    std::array<int, KeyboardKeys.size()> soundingNote_ = [] {
        std::array<int, KeyboardKeys.size()> none{};
        none.fill(NoNote);
        return none;
    }();
    MidiOutput& output_;
};

// The windows in whose presence the computer keys play notes: the main
// window, the sound editor, Q-Morph and the parameter locker.
bool NotesPlayableIn(std::string_view windowClass);
