#include "sound_reorderer.h"

#include "library_list.h"
#include "prompter.h"
#include "sound_library.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <utility>

namespace {
// How far a move from a button or key scrolls the list to follow the selection.
constexpr int ScrollStepPixels = 10;
} // namespace

SoundReorderer::SoundReorderer(TSoundLibrary& library, LibraryList& list, ListViewport& viewport,
                               Prompter& prompter, Log log)
    : library_(library), list_(list), viewport_(viewport), prompter_(prompter),
      log_(std::move(log)) {}

template <typename Operation> void SoundReorderer::Guarded(Operation operation) {
    // A failure ends the operation; sounds already moved stay where they are.
    try {
        operation();
    } catch (const std::exception& failure) {
        if (log_)
            log_(QString::fromLocal8Bit(failure.what()));
    }
}

void SoundReorderer::MoveSelectionUp(bool fromUser) {
    Guarded([&] { DoMoveSelectionUp(fromUser); });
}

void SoundReorderer::MoveSelectionDown(bool fromUser) {
    Guarded([&] { DoMoveSelectionDown(fromUser); });
}

void SoundReorderer::MoveSelectionTo(int target) {
    Guarded([&] { DoMoveSelectionTo(target); });
}

void SoundReorderer::SwapSlots(int a, int b) {
    Guarded([&] { ExchangeSlots(a, b); });
}

void SoundReorderer::ExchangeSlots(int a, int b) {
    const TSoundRecord first = library_.Sound(a);
    library_.StoreSound(a, library_.Sound(b));
    library_.StoreSound(b, first);
    MarkChanged(a);
    MarkChanged(b);
}

void SoundReorderer::DropSoundOnRow(int dragged, int target) {
    Guarded([&] { DoDropSoundOnRow(dragged, target); });
}

void SoundReorderer::SortSelection(int mode) {
    Guarded([&] { DoSortSelection(mode); });
}

void SoundReorderer::DoMoveSelectionUp(bool fromUser) {
    if (fromUser) {
        const int firstRow = list_.CurrentRow();
        if (firstRow <= 0)
            return; // nothing selected, or the selection already starts at the top
        if (firstRow - viewport_.TopVisibleRow() < viewport_.VisibleRowCount() / 4)
            viewport_.ScrollByPixels(-ScrollStepPixels);
        list_.CollectSelection();
    } else if (library_.SelectedCount() == 0 || FirstSelected() <= 0) {
        return;
    }

    ShiftRuns(-1);
    ShiftSelection(-1);
    list_.SelectCollectedSlots();
}

void SoundReorderer::DoMoveSelectionDown(bool fromUser) {
    if (fromUser) {
        const int firstRow = list_.CurrentRow();
        if (firstRow < 0 || list_.selectionModel()->isRowSelected(LastRow()))
            return; // nothing selected, or the selection already ends at the bottom
        if (firstRow - viewport_.TopVisibleRow() > viewport_.VisibleRowCount() / 4)
            viewport_.ScrollByPixels(ScrollStepPixels);
        list_.CollectSelection();
    } else if (library_.SelectedCount() == 0 || LastSelected() >= LastRow()) {
        return;
    }

    ShiftRuns(+1);
    ShiftSelection(+1);
    list_.SelectCollectedSlots();
}

void SoundReorderer::ShiftRuns(int direction) {
    const auto selected = CollectedRows();
    const int first = std::max(FirstSelected() - 1, 0);
    const int last = std::min(LastSelected() + 1, LastRow());
    // Rows are walked against the move, so each run meets the row it
    // displaces first; that sound waits here until the run has passed and
    // takes the row the run's far end left.
    const int step = -direction;
    const int begin = direction < 0 ? first : last;
    const int end = direction < 0 ? last : first;
    TSoundRecord hold{};
    bool held = false;
    for (int i = begin;; i += step) {
        const int to = i + direction;
        if (selected[static_cast<std::size_t>(i)]) {
            if (!selected[static_cast<std::size_t>(to)]) {
                hold = library_.Sound(to);
                held = true;
            }
            library_.StoreSound(to, library_.Sound(i));
            MarkChanged(i);
            MarkChanged(to);
            if (i == (direction < 0 ? LastRow() : 0))
                library_.StoreSound(i, hold); // the run reaches the end of the list
        } else if (held) {
            library_.StoreSound(to, hold);
            MarkChanged(i);
            MarkChanged(to);
            // Moving down, each row up to the next run is rewritten with the
            // sound it holds and marked changed; moving up leaves them alone.
            if (direction < 0)
                held = false;
            else
                hold = library_.Sound(i);
        }
        if (i == end)
            break;
    }
}

void SoundReorderer::DoMoveSelectionTo(int target) {
    if (!IsValidRow(target))
        return;
    list_.CollectSelection();
    if (library_.SelectedCount() == 0)
        return;
    const int steps =
        target < FirstSelected() ? FirstSelected() - target : std::abs(target - LastSelected());
    for (int step = 0; step < steps && library_.SelectedCount() > 0; ++step) {
        if (target < FirstSelected())
            DoMoveSelectionUp(false);
        else if (FirstSelected() < target)
            DoMoveSelectionDown(false);
        viewport_.ProcessPendingEvents(); // the list repaints between steps
    }
    list_.SelectCollectedSlots();
}

void SoundReorderer::DoDropSoundOnRow(int dragged, int target) {
    if (!IsValidRow(dragged) || !IsValidRow(target))
        return;
    ExchangeSlots(target, dragged);
    for (int slot : {target, dragged}) {
        TSoundRecord record = library_.Sound(slot);
        record[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(slot));
        record[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(slot));
        library_.StoreSound(slot, record);
    }
    // Keep the rows selected on screen rather than the selection some earlier
    // command collected.
    list_.CollectSelection();
    list_.SelectCollectedSlots();
}

void SoundReorderer::DoSortSelection(int mode) {
    list_.CollectSelection();
    if (library_.SelectedCount() < 2) {
        if (prompter_.Confirm(QStringLiteral("Sort all?"), Prompter::Buttons::YesNo) ==
            Prompter::Answer::Yes)
            list_.SelectAll();
        list_.CollectSelection();
    }
    if (mode != SortByName)
        return;
    Quicksort(0, library_.SelectedCount() - 1);
    // Also puts the selection back on the same slots.
    list_.SelectCollectedSlots();
}

// Sorts positions lo..hi of the selection, moving sounds among the selected
// slots.
void SoundReorderer::Quicksort(int lo, int hi) {
    if (lo >= hi)
        return;
    const int pivot = Partition(lo, hi);
    Quicksort(lo, pivot - 1);
    Quicksort(pivot + 1, hi);
}

// The pivot sound travels between the two ends: each exchange carries it to
// the other end and turns the scan around. Equal keys are never exchanged.
int SoundReorderer::Partition(int lo, int hi) {
    const auto slotAt = [this](int position) {
        return library_.SelectedSlots().at(static_cast<std::size_t>(position));
    };
    int direction = +1;
    while (hi > lo) {
        if (KeyGreater(slotAt(lo), slotAt(hi))) {
            ExchangeSlots(slotAt(lo), slotAt(hi));
            direction = -direction;
        }
        if (direction == +1)
            ++lo;
        else
            --hi;
    }
    return lo;
}

std::string SoundReorderer::SortKey(const std::string& name) {
    std::string key = name;
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return key;
}

bool SoundReorderer::KeyGreater(int slotA, int slotB) const {
    const std::string a = SortKey(library_.GetSoundName(slotA));
    const std::string b = SortKey(library_.GetSoundName(slotB));
    // Byte order by character code; a key that is a prefix of the other is smaller.
    return std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

bool SoundReorderer::IsValidRow(int row) const {
    return row >= 0 && row <= LastRow();
}

int SoundReorderer::LastRow() const {
    return std::min(library_.SlotCount(), Slots::Count) - 1;
}

int SoundReorderer::FirstSelected() const {
    return library_.SelectedSlots().at(0);
}

int SoundReorderer::LastSelected() const {
    return library_.SelectedSlots().back();
}

std::array<bool, Slots::Count> SoundReorderer::CollectedRows() const {
    std::array<bool, Slots::Count> rows{};
    for (const int slot : library_.SelectedSlots()) {
        if (IsValidRow(slot))
            rows[static_cast<std::size_t>(slot)] = true;
    }
    return rows;
}

void SoundReorderer::ShiftSelection(int by) {
    std::vector<int> shifted = library_.SelectedSlots();
    for (int& slot : shifted)
        slot += by;
    library_.SetSelection(std::move(shifted));
}

void SoundReorderer::MarkChanged(int slot) {
    library_.MarkChanged(slot, true);
}
