#include "library_history.h"

#include "sound_library.h"

#include <array>

struct LibraryHistory::Snapshot {
    std::array<TSoundRecord, Slots::Count> sounds{};
    std::array<std::uint8_t, Slots::Count> changed{};
    int slotCount = 0;
};

LibraryHistory::LibraryHistory(TSoundLibrary& library, std::size_t depth)
    : library_(library), depth_(depth == 0 ? 1 : depth), before_(std::make_unique<Snapshot>()) {}

LibraryHistory::~LibraryHistory() = default;

void LibraryHistory::TakeSnapshot() {
    before_->sounds = library_.SoundBanks;
    before_->changed = library_.SlotChanged;
    before_->slotCount = library_.SlotCount;
}

void LibraryHistory::BeginStep() {
    if (openSteps_++ == 0)
        TakeSnapshot();
}

void LibraryHistory::AcceptChangesSoFar() {
    if (StepOpen())
        TakeSnapshot();
}

void LibraryHistory::SplitStep() {
    if (!StepOpen())
        return;
    RecordEntry();
    TakeSnapshot();
}

void LibraryHistory::EndStep() {
    if (openSteps_ == 0 || --openSteps_ > 0)
        return;
    RecordEntry();
}

void LibraryHistory::RecordEntry() {
    Entry entry;
    entry.slotCount = before_->slotCount;
    for (std::size_t slot = 0; slot < before_->sounds.size(); ++slot)
        if (before_->sounds[slot] != library_.SoundBanks[slot] ||
            before_->changed[slot] != library_.SlotChanged[slot])
            entry.slots.push_back(
                {static_cast<std::uint16_t>(slot), before_->changed[slot], before_->sounds[slot]});
    if (entry.slots.empty() && entry.slotCount == library_.SlotCount)
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
        const std::size_t slot = state.slot;
        std::swap(state.record, library_.SoundBanks[slot]);
        std::swap(state.changed, library_.SlotChanged[slot]);
        slots.push_back(state.slot);
    }
    rowCountChanged_ = entry.slotCount != library_.SlotCount;
    std::swap(entry.slotCount, library_.SlotCount);
    to.push_back(std::move(entry));
    return slots;
}

std::vector<int> LibraryHistory::Undo() {
    return Exchange(undo_, redo_);
}

std::vector<int> LibraryHistory::Redo() {
    return Exchange(redo_, undo_);
}

std::size_t LibraryHistory::StoredBytes() const {
    std::size_t bytes = 0;
    for (const auto* stack : {&undo_, &redo_})
        for (const Entry& entry : *stack)
            bytes += sizeof(Entry) + entry.slots.capacity() * sizeof(SlotState);
    return bytes;
}
