#include "sound_library.h"

void TSoundLibrary::InitEmptyBanks() {
    SlotCount = Slots::Count;
    for (auto& record : SoundBanks)
        ::SetSoundName(record, EmptySoundName);
}

std::string TSoundLibrary::GetSoundName(int slot) const {
    return ::GetSoundName(SoundBanks[Index(slot)]);
}

void TSoundLibrary::SetSoundName(int slot, std::string_view name) {
    ::SetSoundName(SoundBanks[Index(slot)], name);
}

void TSoundLibrary::SetSelection(std::initializer_list<int> slots) {
    SelectedCount = 0;
    for (int slot : slots)
        SelectedSlots[Index(SelectedCount++)] = slot;
}
