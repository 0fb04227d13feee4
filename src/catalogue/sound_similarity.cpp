#include "sound_similarity.h"

#include "parameter_binding.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

namespace {
constexpr int WeightedParameterCount = 184; // parameters 0..183; the name follows

struct GroupWeight {
    std::string_view group;
    double weight;
};
constexpr GroupWeight GroupWeights[] = {
    {"Oscillator 1", 3.0},
    {"Oscillator 2", 3.0},
    {"Filter", 3.0},
    {"Oscillators Common", 1.5},
    {"VCA", 2.0},
    {"Envelope 3", 1.0},
    {"LFOs", 1.0},
    {"Modulation", 1.0},
    {"Modulation Parameters", 0.5},
    {"Push It", 0.1},
    {"Clock Parameters", 0.25},
    {"Arp", 0.5},
    {"Assignable Parameters", 0.1},
};
constexpr double SequenceStepWeight = 0.05;
// Shapes and pitches change a sound most within its oscillator.
constexpr double ShapeAndPitchFactor = 2.0;

double WeightOfGroup(std::string_view group) {
    for (const GroupWeight& entry : GroupWeights) {
        if (entry.group == group)
            return entry.weight;
    }
    return group.starts_with("Sequence Track") ? SequenceStepWeight : 0.0;
}

struct ParameterWeight {
    double weight = 0.0;      // per unit of the stored byte
    bool categorical = false; // a list item: any other item is a whole step away
};

// The weight of one step of each parameter: its group's weight over the
// parameter's range, so a parameter's full range counts its group's weight.
std::array<ParameterWeight, WeightedParameterCount> MakeWeights() {
    std::array<int, WeightedParameterCount> range{};
    std::array<double, WeightedParameterCount> groupWeight{};
    std::array<ParameterWeight, WeightedParameterCount> weights{};
    for (const ParameterBinding& binding : ParameterBindings) {
        const auto p = static_cast<std::size_t>(binding.parameter);
        // The shape lists share their byte with the pulse width: shape * 25 + width.
        const int span =
            binding.list == ValueList::OscillatorShape ? 103 : binding.max - binding.min;
        range[p] = std::max(range[p], span);
        groupWeight[p] = WeightOfGroup(binding.group);
        // Modulation sources and destinations, LFO shapes: their order means nothing.
        weights[p].categorical =
            binding.list != ValueList::None && binding.list != ValueList::OscillatorShape;
    }
    for (const int p : {0, 2, 6, 8}) // oscillator frequencies and shapes
        groupWeight[static_cast<std::size_t>(p)] *= ShapeAndPitchFactor;
    for (std::size_t p = 0; p < weights.size(); ++p) {
        if (range[p] > 0)
            weights[p].weight = weights[p].categorical ? groupWeight[p] : groupWeight[p] / range[p];
    }
    return weights;
}
} // namespace

double SoundDistance(const TSoundRecord& a, const TSoundRecord& b) {
    static const auto weights = MakeWeights();
    double distance = 0.0;
    for (int p = 0; p < WeightedParameterCount; ++p) {
        const int byte = SoundLayout::ParameterByte(p);
        const ParameterWeight& weight = weights[static_cast<std::size_t>(p)];
        if (weight.weight == 0.0 || a[byte] == b[byte])
            continue;
        distance +=
            weight.weight * (weight.categorical ? 1 : std::abs(int(a[byte]) - int(b[byte])));
    }
    return distance;
}
