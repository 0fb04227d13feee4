#include "sound_history.h"

SoundHistory::SoundHistory(const TSoundRecord& start, std::size_t depth)
    : states_{start}, depth_(depth) {}

void SoundHistory::Record(const TSoundRecord& sound) {
    if (sound == Present())
        return;
    states_.erase(states_.begin() + static_cast<std::ptrdiff_t>(present_) + 1, states_.end());
    states_.push_back(sound);
    if (states_.size() > depth_ + 1)
        states_.pop_front();
    present_ = states_.size() - 1;
}

std::optional<TSoundRecord> SoundHistory::Undo() {
    if (!CanUndo())
        return std::nullopt;
    return states_[--present_];
}

std::optional<TSoundRecord> SoundHistory::Redo() {
    if (!CanRedo())
        return std::nullopt;
    return states_[++present_];
}
