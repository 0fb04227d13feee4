#pragma once

#include "sound_library.h"

#include <array>
#include <cstdint>
#include <vector>

// Changes one slot's sound in place, through the library, so its observers
// see the change.
template <typename Edit> void EditSound(TSoundLibrary& library, int slot, Edit edit) {
    TSoundRecord record = library.Sound(slot);
    edit(record);
    library.StoreSound(slot, record);
}

// The slots the library told its observers (the list on screen) of, while
// this lives.
struct SlotsToldOf : LibraryObserver {
    explicit SlotsToldOf(TSoundLibrary& watched) : library(watched) { library.AddObserver(*this); }
    ~SlotsToldOf() override { library.RemoveObserver(*this); }
    SlotsToldOf(const SlotsToldOf&) = delete;
    SlotsToldOf& operator=(const SlotsToldOf&) = delete;
    void SlotChanged(int slot) override { slots.push_back(slot); }

    TSoundLibrary& library;
    std::vector<int> slots;
};

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
