#include "note_player.h"

#include "short_messages.h"

#include <algorithm>

namespace {
constexpr int SemitonesPerOctave = 12;
// Key 0 at octave 0 plays note 12.
constexpr int NoteOffset = 12;
} // namespace

void NotePlayer::SetOctave(int octave) {
    octave_ = std::clamp(octave, +MinOctave, +MaxOctave);
}

void NotePlayer::LowerOctave() {
    if (octave_ > MinOctave)
        --octave_;
}

void NotePlayer::RaiseOctave() {
    if (octave_ < MaxOctave)
        ++octave_;
}

std::string NotePlayer::OctaveCaption() const {
    return "Octave " + std::to_string(octave_);
}

MidiError NotePlayer::Poll(const KeyDownQuery& keyDown) {
    MidiError failure = MidiError::None;
    const auto note = [&failure](MidiError error) {
        if (failure == MidiError::None)
            failure = error;
    };
    for (std::size_t i = 0; i < KeyboardKeys.size(); ++i) {
        int& sounding = soundingNote_[i];
        const bool down = keyDown(KeyboardKeys[i].Key);
        if (down && sounding == NoNote) {
            const int pitch = octave_ * SemitonesPerOctave + static_cast<int>(i) + NoteOffset;
            if (pitch > HighestNote)
                continue; // no MIDI note: the key does nothing
            sounding = pitch;
            note(SendNoteOn(output_, channel_, pitch));
        } else if (!down && sounding != NoNote) {
            note(SendNoteOff(output_, channel_, sounding));
            sounding = NoNote;
        }
    }
    return failure;
}

MidiError NotePlayer::ReleaseAllNotes() {
    MidiError failure = MidiError::None;
    for (int& sounding : soundingNote_) {
        if (sounding == NoNote)
            continue;
        if (const MidiError error = SendNoteOff(output_, channel_, sounding);
            failure == MidiError::None)
            failure = error;
        sounding = NoNote;
    }
    return failure;
}

bool NotePlayer::AnyNoteOn() const {
    return std::any_of(soundingNote_.begin(), soundingNote_.end(),
                       [](int note) { return note != NoNote; });
}

bool NotesPlayableIn(std::string_view windowClass) {
    return windowClass == "TfrmMain" || windowClass == "TfrmPatchEdit" ||
           windowClass == "TfrmMorph" || windowClass == "TfrmLocker" ||
           windowClass == "TfrmBreeder";
}
