#include "library_history.h"

LibraryHistory::LibraryHistory(TSoundLibrary& library, std::size_t depth)
    : library_(library), depth_(depth == 0 ? 1 : depth) {
    library_.AddObserver(*this);
}

LibraryHistory::~LibraryHistory() {
    library_.RemoveObserver(*this);
}

void LibraryHistory::SlotAboutToChange(int slot) {
    // Changes outside a step (an undo, the start-up) are nobody's to undo.
    if (!StepOpen() || before_.count(slot) > 0)
        return;
    before_[slot] = {static_cast<std::uint16_t>(slot),
                     static_cast<std::uint8_t>(library_.IsChanged(slot)), library_.Sound(slot)};
}

void LibraryHistory::StartFromNow() {
    before_.clear();
    slotCountBefore_ = library_.SlotCount();
}

void LibraryHistory::BeginStep() {
    if (openSteps_++ == 0)
        StartFromNow();
}

void LibraryHistory::AcceptChangesSoFar() {
    if (StepOpen())
        StartFromNow();
}

void LibraryHistory::SplitStep() {
    if (!StepOpen())
        return;
    RecordEntry();
    StartFromNow();
}

void LibraryHistory::EndStep() {
    if (openSteps_ == 0 || --openSteps_ > 0)
        return;
    RecordEntry();
    before_.clear();
    Notify();
}

void LibraryHistory::Notify() const {
    if (changeNotice_)
        changeNotice_();
}

void LibraryHistory::RecordEntry() {
    Entry entry;
    entry.slotCount = slotCountBefore_;
    for (const auto& [slot, state] : before_)
        if (state.record != library_.Sound(slot) ||
            (state.changed != 0) != library_.IsChanged(slot))
            entry.slots.push_back(state);
    if (entry.slots.empty() && entry.slotCount == library_.SlotCount())
        return; // the command changed nothing
    entry.slots.shrink_to_fit();
    undo_.push_back(std::move(entry));
    redo_.clear();
    while (undo_.size() > depth_)
        undo_.pop_front();
}

std::vector<int> LibraryHistory::Exchange(std::deque<Entry>& from, std::deque<Entry>& to) {
    rowCountChanged_ = false;
    if (StepOpen() || from.empty())
        return {};
    Entry entry = std::move(from.back());
    from.pop_back();
    std::vector<int> slots;
    slots.reserve(entry.slots.size());
    for (SlotState& state : entry.slots) {
        const int slot = state.slot;
        const SlotState now{state.slot, static_cast<std::uint8_t>(library_.IsChanged(slot)),
                            library_.Sound(slot)};
        library_.StoreSound(slot, state.record, state.changed != 0);
        state = now;
        slots.push_back(slot);
    }
    rowCountChanged_ = entry.slotCount != library_.SlotCount();
    const int slotCount = library_.SlotCount();
    library_.SetSlotCount(entry.slotCount);
    entry.slotCount = slotCount;
    to.push_back(std::move(entry));
    return slots;
}

std::vector<int> LibraryHistory::Undo() {
    std::vector<int> slots = Exchange(undo_, redo_);
    Notify();
    return slots;
}

std::vector<int> LibraryHistory::Redo() {
    std::vector<int> slots = Exchange(redo_, undo_);
    Notify();
    return slots;
}

std::size_t LibraryHistory::StoredBytes() const {
    std::size_t bytes = 0;
    for (const auto* stack : {&undo_, &redo_})
        for (const Entry& entry : *stack)
            bytes += sizeof(Entry) + entry.slots.capacity() * sizeof(SlotState);
    return bytes;
}
