#include "sound_history.h"

namespace {
constexpr int ArpeggiatorParameter = 98;
constexpr int GatedSequencerParameter = 100;
constexpr int SentParameters = 200; // parameters 0..199 have an NRPN number

std::uint8_t ParameterOf(const TSoundRecord& sound, int parameter) {
    return sound[SoundLayout::ParameterByte(parameter)];
}
} // namespace

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

std::vector<int> ParametersToSend(const TSoundRecord& playing, const TSoundRecord& target) {
    std::vector<int> parameters;
    const auto changed = [&](int p) { return ParameterOf(playing, p) != ParameterOf(target, p); };
    for (int p = 0; p < SentParameters; ++p)
        if (p != ArpeggiatorParameter && p != GatedSequencerParameter && changed(p))
            parameters.push_back(p);
    // The instrument never plays both: the one switched on goes last.
    const bool arpeggiatorOn = ParameterOf(target, ArpeggiatorParameter) == 1;
    const bool sequencerOn = ParameterOf(target, GatedSequencerParameter) == 1;
    if (!changed(ArpeggiatorParameter) && !changed(GatedSequencerParameter))
        return parameters;
    if (arpeggiatorOn) {
        parameters.push_back(GatedSequencerParameter);
        parameters.push_back(ArpeggiatorParameter);
    } else if (sequencerOn) {
        parameters.push_back(ArpeggiatorParameter);
        parameters.push_back(GatedSequencerParameter);
    } else {
        if (changed(ArpeggiatorParameter))
            parameters.push_back(ArpeggiatorParameter);
        if (changed(GatedSequencerParameter))
            parameters.push_back(GatedSequencerParameter);
    }
    return parameters;
}
