#pragma once

#include "sound_record.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The library the main window holds for the whole run: 384 sounds, a
// "Changed" mark per sound, the rows last selected and the current slot.
class TSoundLibrary {
public:
    std::array<TSoundRecord, Slots::Count> SoundBanks{};
    // 1 = the slot differs from what the instrument last sent or was sent.
    std::array<std::uint8_t, Slots::Count> SlotChanged{};
    int SlotCount = 0;
    // Slot indices of the selected rows, ascending, as last collected.
    std::array<int, Slots::Count> SelectedSlots{};
    int SelectedCount = 0;
    int SortMode = 0;
    int CurrentSlot = 0;

    // Names every slot "empty"; parameters, headers and marks stay.
    void InitEmptyBanks();

    std::string GetSoundName(int slot) const;
    void SetSoundName(int slot, std::string_view name);
    bool IsChanged(int slot) const { return SlotChanged[Index(slot)] != 0; }

    void SetSelection(std::initializer_list<int> slots);

private:
    static std::size_t Index(int slot) { return static_cast<std::size_t>(slot); }
};
