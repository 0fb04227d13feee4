#include "note_player.h"

#include "short_messages.h"

#include <algorithm>

namespace {
constexpr int SemitonesPerOctave = 12;
// The state index of a key is its note less one octave.
constexpr int NoteOffset = 12;
} // namespace

void NotePlayer::LowerOctave() {
    if (KeyboardOctave > MinOctave)
        --KeyboardOctave;
}

void NotePlayer::RaiseOctave() {
    if (KeyboardOctave < MaxOctave)
        ++KeyboardOctave;
}

std::string NotePlayer::OctaveCaption() const {
    return "Octave " + std::to_string(KeyboardOctave);
}

void NotePlayer::Poll(const KeyDownQuery& keyDown) {
    KeyboardChannel = 0;
    for (int i = 0; i < static_cast<int>(KeyboardKeys.size()); ++i) {
        const int state = KeyboardOctave * SemitonesPerOctave + i;
        const int note = state + NoteOffset;
        // No MIDI note, and a state index past the flags: the key does nothing.
        if (note > HighestNote)
            continue;
        std::uint8_t& on = KeyNoteOn[static_cast<std::size_t>(state)];
        const bool down = keyDown(KeyboardKeys[static_cast<std::size_t>(i)].Key);
        if (down && on == 0) {
            on = 1;
            SendNoteOn(output_, KeyboardChannel, note);
        } else if (!down && on == 1) {
            on = 0;
            SendNoteOff(output_, KeyboardChannel, note);
        }
    }
}

void NotePlayer::ReleaseAllNotes() {
    for (std::size_t state = 0; state < KeyNoteOn.size(); ++state) {
        if (KeyNoteOn[state] == 0)
            continue;
        KeyNoteOn[state] = 0;
        if (const int note = static_cast<int>(state) + NoteOffset; note <= HighestNote)
            SendNoteOff(output_, KeyboardChannel, note);
    }
}

bool NotePlayer::AnyNoteOn() const {
    return std::any_of(KeyNoteOn.begin(), KeyNoteOn.end(), [](std::uint8_t on) { return on; });
}

bool NotesPlayableIn(std::string_view windowClass) {
    return windowClass == "TfrmMain" || windowClass == "TfrmPatchEdit" ||
           windowClass == "TfrmMorph" || windowClass == "TfrmLocker";
}
