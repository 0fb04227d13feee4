#pragma once

#include "sound_record.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Told of every write to the library's sounds and marks, as it happens: the
// list on screen and the undo history follow the library this way, so no
// command has to remember to refresh a row or record a change.
class LibraryObserver {
public:
    virtual ~LibraryObserver() = default;
    // A slot's sound or mark is about to change (the undo history keeps the
    // state before).
    virtual void SlotAboutToChange(int /*slot*/) {}
    // A slot's sound or mark changed.
    virtual void SlotChanged(int /*slot*/) {}
    // The number of rows changed, or every slot at once.
    virtual void RowsChanged() {}
};

// The library the main window holds for the whole run: 384 sounds, a
// "Changed" mark per sound, the number of rows, the rows last selected and
// the current slot. It is the single writer of its sounds: every change goes
// through a member below and is told to the observers.
class TSoundLibrary {
public:
    TSoundLibrary() = default;
    // A library made elsewhere is taken over with its contents; observers
    // watch one library and do not move with it.
    TSoundLibrary(TSoundLibrary&& other) noexcept;
    TSoundLibrary(const TSoundLibrary&) = delete;
    TSoundLibrary& operator=(const TSoundLibrary&) = delete;
    TSoundLibrary& operator=(TSoundLibrary&&) = delete;

    int SlotCount() const { return slotCount_; }
    const TSoundRecord& Sound(int slot) const { return sounds_.at(Index(slot)); }
    const std::array<TSoundRecord, Slots::Count>& Sounds() const { return sounds_; }
    bool IsChanged(int slot) const { return changed_.at(Index(slot)) != 0; }
    std::string GetSoundName(int slot) const;

    // The sound of a slot; its mark stays.
    void StoreSound(int slot, const TSoundRecord& record);
    // The sound and its mark: "Changed" for a sound kept from a tool, clear
    // for one as the instrument has it.
    void StoreSound(int slot, const TSoundRecord& record, bool changed);
    void MarkChanged(int slot, bool changed);
    // No slot marked "Changed" (a library as loaded at start).
    void ClearChangedMarks();
    void SetSoundName(int slot, std::string_view name);
    void SetSlotCount(int count);
    // A sound kept from a tool or another source: stored as a program of the
    // slot's own location, marked "Changed". A slot outside the 384 is ignored.
    void KeepSound(int slot, const TSoundRecord& sound);
    // All 384 rows, every slot named "empty"; parameters, headers and marks stay.
    void InitEmptyBanks();

    // The slots of the selected rows, ascending, as last collected from the list.
    const std::vector<int>& SelectedSlots() const { return selected_; }
    int SelectedCount() const { return static_cast<int>(selected_.size()); }
    void SetSelection(std::vector<int> slots) { selected_ = std::move(slots); }
    void SetSelection(std::initializer_list<int> slots) { selected_.assign(slots); }
    // The slot whose program the instrument plays (Prg -, Prg +, a click).
    int CurrentSlot() const { return currentSlot_; }
    void SetCurrentSlot(int slot) { currentSlot_ = slot; }

    // Observers are told of changes until removed; each must be removed
    // before it is destroyed.
    void AddObserver(LibraryObserver& observer);
    void RemoveObserver(LibraryObserver& observer);

private:
    static std::size_t Index(int slot) { return static_cast<std::size_t>(slot); }
    void AboutToChange(int slot);
    void Changed(int slot);
    void RowsChanged();

    std::array<TSoundRecord, Slots::Count> sounds_{};
    // 1 = the slot differs from what the instrument last sent or was sent.
    std::array<std::uint8_t, Slots::Count> changed_{};
    int slotCount_ = 0;
    std::vector<int> selected_;
    int currentSlot_ = 0;
    std::vector<LibraryObserver*> observers_;
};
