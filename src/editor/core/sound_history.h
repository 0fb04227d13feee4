#pragma once

#include "sound_record.h"

#include <cstddef>
#include <deque>
#include <optional>

// The edited sound's states for undo and redo: the sound as loaded, then one
// state per change the editor sent (a tick's coalesced edits, a randomize
// press, "Init Sound"). Plain C++, so it is tested without a window.
class SoundHistory {
public:
    static constexpr std::size_t DefaultDepth = 100; // undo steps kept

    explicit SoundHistory(const TSoundRecord& start, std::size_t depth = DefaultDepth);

    // A new present state. The states undone before are dropped; a state
    // equal to the present one adds nothing. The oldest state goes when more
    // than `depth` steps would lie behind the present.
    void Record(const TSoundRecord& sound);

    bool CanUndo() const { return present_ > 0; }
    bool CanRedo() const { return present_ + 1 < states_.size(); }
    // One step back or forward: the state that is now the present one, or
    // nothing when there is no step.
    std::optional<TSoundRecord> Undo();
    std::optional<TSoundRecord> Redo();

    const TSoundRecord& Present() const { return states_[present_]; }

private:
    std::deque<TSoundRecord> states_;
    std::size_t present_ = 0;
    std::size_t depth_;
};
