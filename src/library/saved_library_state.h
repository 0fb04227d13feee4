#pragma once

#include "sound_library.h"

// The sounds as they were last loaded or saved, so that the window can tell
// whether closing or loading would lose work. A sound's location bytes are
// left out: sending it rewrites them without changing the sound.
class SavedLibraryState {
public:
    void Remember(const TSoundLibrary& library) { saved_ = library.Sounds(); }

    bool HasUnsavedChanges(const TSoundLibrary& library) const {
        for (std::size_t slot = 0; slot < saved_.size(); ++slot)
            for (int byte = 0; byte < static_cast<int>(TSoundRecord::Size); ++byte)
                if (byte != SoundLayout::BankByte && byte != SoundLayout::ProgramByte &&
                    library.Sound(static_cast<int>(slot))[byte] != saved_[slot][byte])
                    return true;
        return false;
    }

private:
    std::array<TSoundRecord, Slots::Count> saved_{};
};
