#pragma once

#include "sound_record.h"

#include <QString>

#include <array>
#include <functional>
#include <string>

class LibraryList;
class Prompter;
class TSoundLibrary;

// What moving sounds needs of the list on screen: where it is scrolled, and a
// chance to repaint between the steps of a long move.
class ListViewport {
public:
    virtual ~ListViewport() = default;
    virtual int TopVisibleRow() const = 0;
    // Rows that fit completely in the visible area.
    virtual int VisibleRowCount() const = 0;
    virtual void ScrollByPixels(int dy) = 0;
    virtual void ProcessPendingEvents() = 0;
};

// Moves sounds between library slots: the selection one row up or down or to
// a row, two sounds exchanged by drag and drop, the selection sorted by name.
// Rows never move; whole 256-byte records do, and every slot that receives
// another sound is marked changed.
class SoundReorderer {
public:
    using Log = std::function<void(const QString&)>;

    // The only sort key there is: the sound's name.
    static constexpr int SortByName = 1;

    SoundReorderer(TSoundLibrary& library, LibraryList& list, ListViewport& viewport,
                   Prompter& prompter, Log log);

    // fromUser: the call comes from a button or key, so the list is scrolled
    // to keep the selection in view and the selection is collected first;
    // otherwise the selection last collected is moved.
    void MoveSelectionUp(bool fromUser);
    void MoveSelectionDown(bool fromUser);
    // Moves the selection step by step until its first row (target above it)
    // or its last row (target below it) stands on the target row.
    void MoveSelectionTo(int target);
    // Exchanges the sounds of two slots and marks both changed.
    void SwapSlots(int a, int b);
    // Exchanges the dragged sound with the one on the target row; both then
    // carry their new location in their header.
    void DropSoundOnRow(int dragged, int target);
    // Sorts the sounds of the selected slots among those slots; with fewer
    // than two rows selected it offers to sort the whole library.
    void SortSelection(int mode);

    // The key sounds are sorted by: the name with a..z in upper case.
    static std::string SortKey(const std::string& name);

private:
    template <typename Operation> void Guarded(Operation operation);
    void DoMoveSelectionUp(bool fromUser);
    void DoMoveSelectionDown(bool fromUser);
    // Moves every run of collected rows one row (-1 up, +1 down); each sound
    // a run passes over takes the row the run left.
    void ShiftRuns(int direction);
    void DoMoveSelectionTo(int target);
    void DoDropSoundOnRow(int dragged, int target);
    void DoSortSelection(int mode);
    void ExchangeSlots(int a, int b);
    void Quicksort(int lo, int hi);
    int Partition(int lo, int hi);
    bool KeyGreater(int slotA, int slotB) const;

    bool IsValidRow(int row) const;
    int LastRow() const;
    int FirstSelected() const;
    int LastSelected() const;
    // Membership in the selection last collected; a move works on that set
    // alone, so a selection changed on screen mid-move cannot lose a sound.
    std::array<bool, Slots::Count> CollectedRows() const;
    void ShiftSelection(int by);
    void MarkChanged(int slot);

    TSoundLibrary& library_;
    LibraryList& list_;
    ListViewport& viewport_;
    Prompter& prompter_;
    Log log_;
};
