#include "sound_library.h"

#include <algorithm>
#include <stdexcept>

TSoundLibrary::TSoundLibrary(TSoundLibrary&& other) noexcept
    : sounds_(other.sounds_), changed_(other.changed_), slotCount_(other.slotCount_),
      selected_(std::move(other.selected_)), currentSlot_(other.currentSlot_) {}

std::string TSoundLibrary::GetSoundName(int slot) const {
    return ::GetSoundName(Sound(slot));
}

void TSoundLibrary::StoreSound(int slot, const TSoundRecord& record) {
    StoreSound(slot, record, IsChanged(slot));
}

void TSoundLibrary::StoreSound(int slot, const TSoundRecord& record, bool changed) {
    if (Sound(slot) == record && IsChanged(slot) == changed)
        return;
    AboutToChange(slot);
    sounds_[Index(slot)] = record;
    changed_[Index(slot)] = changed ? 1 : 0;
    Changed(slot);
}

void TSoundLibrary::MarkChanged(int slot, bool changed) {
    StoreSound(slot, Sound(slot), changed);
}

void TSoundLibrary::ClearChangedMarks() {
    for (int slot = 0; slot < Slots::Count; ++slot)
        MarkChanged(slot, false);
}

void TSoundLibrary::SetSoundName(int slot, std::string_view name) {
    TSoundRecord record = Sound(slot);
    ::SetSoundName(record, name);
    StoreSound(slot, record);
}

void TSoundLibrary::KeepSound(int slot, const TSoundRecord& sound) {
    if (!Slots::IsValid(slot))
        return;
    TSoundRecord kept = sound;
    // The library holds programs of their own location, whatever message
    // the sound arrived in.
    kept[SoundLayout::CommandByte] = 0x02;
    kept[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(slot));
    kept[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(slot));
    StoreSound(slot, kept, true);
}

void TSoundLibrary::SetSlotCount(int count) {
    if (count < 0 || count > Slots::Count)
        throw std::out_of_range("a library holds 0 to 384 rows");
    if (count == slotCount_)
        return;
    slotCount_ = count;
    RowsChanged();
}

void TSoundLibrary::InitEmptyBanks() {
    for (int slot = 0; slot < Slots::Count; ++slot) {
        TSoundRecord record = Sound(slot);
        ::SetSoundName(record, EmptySoundName);
        if (record == Sound(slot))
            continue;
        AboutToChange(slot);
        sounds_[Index(slot)] = record;
    }
    slotCount_ = Slots::Count;
    RowsChanged();
}

void TSoundLibrary::AddObserver(LibraryObserver& observer) {
    observers_.push_back(&observer);
}

void TSoundLibrary::RemoveObserver(LibraryObserver& observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), &observer),
                     observers_.end());
}

void TSoundLibrary::AboutToChange(int slot) {
    for (LibraryObserver* observer : observers_)
        observer->SlotAboutToChange(slot);
}

void TSoundLibrary::Changed(int slot) {
    for (LibraryObserver* observer : observers_)
        observer->SlotChanged(slot);
}

void TSoundLibrary::RowsChanged() {
    for (LibraryObserver* observer : observers_)
        observer->RowsChanged();
}
