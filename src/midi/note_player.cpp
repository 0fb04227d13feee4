#include "note_player.h"

#include "short_messages.h"

#include <algorithm>

namespace {
constexpr int SemitonesPerOctave = 12;
// Key 0 at octave 0 plays note 12.
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
    for (std::size_t i = 0; i < KeyboardKeys.size(); ++i) {
        int& sounding = SoundingNote[i];
        const bool down = keyDown(KeyboardKeys[i].Key);
        if (down && sounding == NoNote) {
            const int note = KeyboardOctave * SemitonesPerOctave + static_cast<int>(i) + NoteOffset;
            if (note > HighestNote)
                continue; // no MIDI note: the key does nothing
            sounding = note;
            SendNoteOn(output_, KeyboardChannel, note);
        } else if (!down && sounding != NoNote) {
            SendNoteOff(output_, KeyboardChannel, sounding);
            sounding = NoNote;
        }
    }
}

void NotePlayer::ReleaseAllNotes() {
    for (int& sounding : SoundingNote) {
        if (sounding == NoNote)
            continue;
        SendNoteOff(output_, KeyboardChannel, sounding);
        sounding = NoNote;
    }
}

bool NotePlayer::AnyNoteOn() const {
    return std::any_of(SoundingNote.begin(), SoundingNote.end(),
                       [](int note) { return note != NoNote; });
}

bool NotesPlayableIn(std::string_view windowClass) {
    return windowClass == "TfrmMain" || windowClass == "TfrmPatchEdit" ||
           windowClass == "TfrmMorph" || windowClass == "TfrmLocker" ||
           windowClass == "TfrmBreeder";
}
