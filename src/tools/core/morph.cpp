#include "morph.h"

#include "parameter_binding.h"
#include "parameter_tables.h"

#include <algorithm>
#include <utility>

namespace {
constexpr int Osc1Frequency = 0;
constexpr int Osc1FineTune = 1;
constexpr int Osc2Frequency = 6;
constexpr int Osc2FineTune = 7;
constexpr int FineTuneCentre = 50;
constexpr int Octave = 12;

std::array<bool, MorphParameterCount> ParametersWithControls() {
    std::array<bool, MorphParameterCount> bound{};
    for (int p = 0; p < MorphParameterCount; ++p)
        bound[static_cast<std::size_t>(p)] = RowOfParameter(p) >= 0;
    // The name field shows the name characters.
    for (int p = 0; p < SoundLayout::NameLength; ++p)
        bound[static_cast<std::size_t>(SoundLayout::NameParameter + p)] = true;
    return bound;
}
} // namespace

int MorphValue(int a, int b, int m) {
    const int scaled = (b - a) * m;
    // Integer division truncates towards zero; the morph rounds down.
    const int quotient = scaled / MorphPositionMax;
    const bool inexact = quotient * MorphPositionMax != scaled;
    return a + (scaled < 0 && inexact ? quotient - 1 : quotient);
}

int MorphedParameter(int p, int a, int b, int m, bool fineFrequency) {
    const int v = MorphValue(a, b, m);
    if (fineFrequency)
        return v;
    if (p == Osc1Frequency || p == Osc2Frequency)
        return v - v % Octave;
    if (p == Osc1FineTune || p == Osc2FineTune)
        return FineTuneCentre;
    return v;
}

bool MorphSends(int p) {
    static const std::array<bool, MorphParameterCount> withControls = ParametersWithControls();
    return p >= 0 && p < MorphParameterCount && withControls[static_cast<std::size_t>(p)];
}

void SoundMorph::ForgetSent() {
    lastSent_.fill(-1);
}

std::vector<MorphMessage> SoundMorph::Step(const TSoundRecord& sound1, const TSoundRecord& sound2,
                                           int m, bool fineFrequency) {
    std::vector<MorphMessage> messages;
    for (int p = 0; p < MorphParameterCount; ++p) {
        if (!MorphSends(p))
            continue;
        const int byte = SoundLayout::ParameterByte(p);
        const int v = MorphedParameter(p, sound1[byte], sound2[byte], m, fineFrequency);
        int& last = lastSent_[static_cast<std::size_t>(p)];
        if (v == last)
            continue;
        last = v;
        messages.push_back({p, NrpnNumbers[static_cast<std::size_t>(p)], v});
    }
    return messages;
}

MorphPacer::MorphPacer(Clock clock) : cable_(std::move(clock)) {}

bool MorphPacer::Offer(int position) {
    if (Wait().count() > 0) {
        waiting_ = position;
        return false;
    }
    waiting_.reset(); // this newer position goes out instead
    return true;
}

std::optional<int> MorphPacer::TakeDue() {
    if (!waiting_ || Wait().count() > 0)
        return std::nullopt;
    return std::exchange(waiting_, std::nullopt);
}
