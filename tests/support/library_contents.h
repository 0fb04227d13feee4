#pragma once

#include "sound_library.h"

#include <array>
#include <cstdint>

// Changes one slot's sound in place, through the library, so its observers
// see the change.
template <typename Edit> void EditSound(TSoundLibrary& library, int slot, Edit edit) {
    TSoundRecord record = library.Sound(slot);
    edit(record);
    library.StoreSound(slot, record);
}

// Everything an undo or redo restores: the sounds, their "Changed" marks and
// the number of rows.
struct LibraryContents {
    std::array<TSoundRecord, Slots::Count> sounds;
    std::array<bool, Slots::Count> marks;
    int slotCount;
    bool operator==(const LibraryContents&) const = default;
};

inline LibraryContents ContentsOf(const TSoundLibrary& library) {
    LibraryContents contents{library.Sounds(), {}, library.SlotCount()};
    for (int slot = 0; slot < Slots::Count; ++slot)
        contents.marks[static_cast<std::size_t>(slot)] = library.IsChanged(slot);
    return contents;
}
