#include "breeding.h"

#include "random_generator.h"
#include "schema.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

namespace {

constexpr int PulseWaveItem = 4; // the shape item whose byte also holds the pulse width

// The section holding each parameter, -1 for none.
const std::array<int, SoundLayout::ParameterCount>& SectionOfParameter() {
    static const auto sections = [] {
        std::array<int, SoundLayout::ParameterCount> table{};
        table.fill(-1);
        for (int p = 0; p < SoundLayout::ParameterCount; ++p)
            for (int g = 0; g < LockGroupCount; ++g)
                if (LockGroups[static_cast<std::size_t>(g)].Holds(p))
                    table[static_cast<std::size_t>(p)] = g;
        return table;
    }();
    return sections;
}

bool IsShapeList(const ParameterBinding& binding) {
    return binding.kind == ControlKind::List && binding.list == ValueList::OscillatorShape;
}

// The knob that shares its shape list's byte.
bool IsPulseWidth(const ParameterBinding& binding) {
    return binding.kind == ControlKind::Knob && (binding.parameter == 2 || binding.parameter == 8);
}

int PositionCount(const ParameterBinding& binding) {
    return binding.kind == ControlKind::List ? static_cast<int>(ListItems(binding.list).size())
                                             : binding.max - binding.min + 1;
}

// One control's values as schema positions, read from and written to the
// child's byte.
struct ControlAccess {
    const ParameterBinding& binding;
    TSoundRecord& sound;

    std::uint8_t& Byte() const { return sound[SoundLayout::ParameterByte(binding.parameter)]; }
    // Nothing when the byte shows no value of the control.
    std::optional<int> Position() const {
        if (IsPulseWidth(binding))
            return Byte() >= PulseWaveItem && Byte() - PulseWaveItem <= binding.max
                       ? std::optional<int>(Byte() - PulseWaveItem)
                       : std::nullopt;
        const std::optional<int> value = ValueForByte(binding, Byte());
        if (!value || (binding.kind == ControlKind::List && *value == NoSelection))
            return std::nullopt;
        return binding.kind == ControlKind::List ? *value : *value - binding.min;
    }
    void SetPosition(int position) const {
        if (IsPulseWidth(binding))
            Byte() = ShapeByte(PulseWaveItem, position);
        else if (IsShapeList(binding)) {
            // A pulse wave keeps the pulse width it had, if any.
            const int width = Byte() >= PulseWaveItem ? Byte() - PulseWaveItem : 0;
            Byte() = ShapeByte(position, width);
        } else
            Byte() = ByteForValue(
                binding, binding.kind == ControlKind::List ? position : binding.min + position);
    }
};

std::vector<int> AllowedPositions(const SchemaEntry& entry, int count) {
    std::vector<int> positions;
    const int known = std::min(count, static_cast<int>(entry.allowed.size()));
    for (int p = 0; p < known; ++p)
        if (entry.allowed[static_cast<std::size_t>(p)] == '1')
            positions.push_back(p);
    return positions;
}

int Draw(RandomGenerator& generator, const std::vector<int>& candidates) {
    return candidates[generator.Random(static_cast<std::uint32_t>(candidates.size()))];
}

// The allowed positions nearest to `from`, leaving out `from` itself when
// `moving`.
std::vector<int> Nearest(const std::vector<int>& allowed, int from, bool moving) {
    std::vector<int> nearest;
    int best = -1;
    for (const int p : allowed) {
        const int d = std::abs(p - from);
        if (moving && d == 0)
            continue;
        if (best < 0 || d < best) {
            best = d;
            nearest.clear();
        }
        if (d == best)
            nearest.push_back(p);
    }
    return nearest;
}

// A new allowed position for a mutating control: any other allowed position
// within a reach that grows with the amount (the whole range at 100), else
// the nearest other one; the control stays when nothing else is allowed.
int Mutated(RandomGenerator& generator, const std::vector<int>& allowed, int from, int count,
            int mutation) {
    const int reach = std::max(1, (count - 1) * mutation / MaxMutation);
    std::vector<int> within;
    for (const int p : allowed)
        if (p != from && std::abs(p - from) <= reach)
            within.push_back(p);
    if (within.empty())
        within = Nearest(allowed, from, true);
    return within.empty() ? from : Draw(generator, within);
}

// Each entry's allowed positions, read once for a whole generation.
std::vector<std::vector<int>> AllowedByEntry(const SchemaList& schema) {
    std::vector<std::vector<int>> allowed;
    allowed.reserve(schema.size());
    for (const SchemaEntry& entry : schema)
        allowed.push_back(AllowedPositions(entry, PositionCount(entry.Binding())));
    return allowed;
}

void Mutate(TSoundRecord& child, const SchemaList& schema,
            const std::vector<std::vector<int>>& allowedByEntry, const BreedingSettings& settings,
            RandomGenerator& generator) {
    for (std::size_t e = 0; e < schema.size(); ++e) {
        const SchemaEntry& entry = schema[e];
        const ParameterBinding& binding = entry.Binding();
        const int section = SectionOfParameter()[static_cast<std::size_t>(binding.parameter)];
        if (section < 0 || settings.locked[static_cast<std::size_t>(section)])
            continue;
        const ControlAccess control{binding, child};
        // A pulse width is a value only under a pulse wave.
        if (IsPulseWidth(binding) && control.Byte() < PulseWaveItem)
            continue;
        const int count = PositionCount(binding);
        const std::vector<int>& allowed = allowedByEntry[e];
        if (allowed.empty())
            continue;
        const bool mutates = static_cast<int>(generator.Random(MaxMutation)) < settings.mutation;
        const std::optional<int> position = control.Position();
        if (!position) {
            control.SetPosition(Draw(generator, allowed));
        } else if (!std::binary_search(allowed.begin(), allowed.end(), *position)) {
            control.SetPosition(Draw(generator, Nearest(allowed, *position, false)));
        } else if (mutates) {
            control.SetPosition(Mutated(generator, allowed, *position, count, settings.mutation));
        }
    }
}

} // namespace

BredChildren Breed(std::span<const TSoundRecord> parents, const SchemaList& schema,
                   const BreedingSettings& settings) {
    BredChildren bred;
    if (parents.empty() || parents.size() > static_cast<std::size_t>(MaxParents)) {
        bred.problem = "Choose one to four parent sounds.";
        return bred;
    }
    if (settings.childCount < 1 || settings.childCount > MaxChildCount) {
        bred.problem = "A generation has 1 to 16 children.";
        return bred;
    }
    RandomGenerator generator(settings.seed);
    const std::vector<std::vector<int>> allowedByEntry = AllowedByEntry(schema);
    const auto parentCount = static_cast<std::uint32_t>(parents.size());
    bred.children.reserve(static_cast<std::size_t>(settings.childCount));
    for (int c = 0; c < settings.childCount; ++c) {
        TSoundRecord child = parents[0];
        for (int g = 0; g < LockGroupCount; ++g) {
            if (settings.locked[static_cast<std::size_t>(g)])
                continue;
            const TSoundRecord& donor = parents[generator.Random(parentCount)];
            const LockGroup& group = LockGroups[static_cast<std::size_t>(g)];
            for (int p = 0; p < SoundLayout::ParameterCount; ++p)
                if (group.Holds(p))
                    child[SoundLayout::ParameterByte(p)] = donor[SoundLayout::ParameterByte(p)];
        }
        Mutate(child, schema, allowedByEntry, settings, generator);
        bred.children.push_back(child);
    }
    return bred;
}

// ---- Names -------------------------------------------------------------------

namespace {

std::string Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::size_t JoinedLength(const std::vector<std::string>& names, std::string_view join) {
    std::size_t length = names.empty() ? 0 : join.size() * (names.size() - 1);
    for (const std::string& name : names)
        length += name.size();
    return length;
}

} // namespace

std::string ChildName(std::span<const std::string> parentNames, int generation, int child) {
    std::vector<std::string> names;
    for (const std::string& name : parentNames) {
        std::string trimmed = Trimmed(name);
        if (!trimmed.empty() && std::find(names.begin(), names.end(), trimmed) == names.end())
            names.push_back(std::move(trimmed));
    }
    if (names.empty())
        names.push_back("Child");
    std::string suffix(1, ' ');
    suffix.append(std::to_string(generation)).append(1, '-').append(std::to_string(child));
    const std::size_t budget =
        SoundLayout::NameLength > static_cast<int>(suffix.size())
            ? static_cast<std::size_t>(SoundLayout::NameLength) - suffix.size()
            : 0;
    std::string_view join = " x ";
    const auto longest = [&] {
        return std::max_element(names.begin(), names.end(),
                                [](const auto& a, const auto& b) { return a.size() < b.size(); });
    };
    while (JoinedLength(names, join) > budget) {
        const auto name = longest();
        if (name->size() > 2 || (join.size() == 1 && name->size() > 1)) {
            // Names start with no blank, so one letter always stays.
            name->pop_back();
            *name = Trimmed(*name);
        } else if (join.size() > 1) {
            join = "x";
        } else {
            break;
        }
    }
    std::string stem;
    for (const std::string& name : names) {
        if (!stem.empty())
            stem.append(join);
        stem.append(name);
    }
    stem.resize(std::min(stem.size(), budget));
    return stem + suffix;
}
