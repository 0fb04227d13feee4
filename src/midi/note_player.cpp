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

MidiError NotePlayer::Poll(const KeyDownQuery& keyDown) {
    MidiError failure = MidiError::None;
    const auto note = [&failure](MidiError error) {
        if (failure == MidiError::None)
            failure = error;
    };
    for (std::size_t i = 0; i < KeyboardKeys.size(); ++i) {
        int& sounding = SoundingNote[i];
        const bool down = keyDown(KeyboardKeys[i].Key);
        if (down && sounding == NoNote) {
            const int pitch =
                KeyboardOctave * SemitonesPerOctave + static_cast<int>(i) + NoteOffset;
            if (pitch > HighestNote)
                continue; // no MIDI note: the key does nothing
            sounding = pitch;
            note(SendNoteOn(output_, KeyboardChannel, pitch));
        } else if (!down && sounding != NoNote) {
            note(SendNoteOff(output_, KeyboardChannel, sounding));
            sounding = NoNote;
        }
    }
    return failure;
}

MidiError NotePlayer::ReleaseAllNotes() {
    MidiError failure = MidiError::None;
    for (int& sounding : SoundingNote) {
        if (sounding == NoNote)
            continue;
        if (const MidiError error = SendNoteOff(output_, KeyboardChannel, sounding);
            failure == MidiError::None)
            failure = error;
        sounding = NoNote;
    }
    return failure;
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
