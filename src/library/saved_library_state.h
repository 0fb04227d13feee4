#pragma once

#include "sound_library.h"

#include <vector>

// The sounds as they were last loaded or saved, so that the window can tell
// whether closing or loading would lose work. A sound's location bytes are
// left out: sending it rewrites them without changing the sound.
class SavedLibraryState {
public:
    void Remember(const TSoundLibrary& library) { saved_ = library.Sounds(); }
    // Only these slots now hold what was loaded; the others keep what they
    // were last saved or loaded as, so work in them is not forgotten.
    void Remember(const TSoundLibrary& library, const std::vector<int>& slots) {
        for (const int slot : slots)
            saved_.at(static_cast<std::size_t>(slot)) = library.Sound(slot);
    }

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
