#include "sound_compare.h"

#include "parameter_binding.h"

#include <algorithm>

namespace {

constexpr int FirstUnused = 109;
constexpr int LastUnused = 119;
constexpr int PulseWaveItem = 4;

bool IsShown(int parameter) {
    return parameter < FirstUnused || parameter > LastUnused;
}

std::uint8_t ByteOf(const TSoundRecord& sound, int parameter) {
    return sound[SoundLayout::ParameterByte(parameter)];
}

// The controls showing a parameter: one, or a shape list and its pulse-width knob.
std::vector<const ParameterBinding*> BindingsOf(int parameter) {
    // The list first: it says what the knob beside it means.
    std::vector<const ParameterBinding*> found;
    const SoundParameterFacts& facts = ParameterFacts(parameter);
    for (const int row : {facts.row, facts.pulseWidthRow})
        if (row >= 0)
            found.push_back(&ParameterBindings[static_cast<std::size_t>(row)]);
    return found;
}

std::string ListText(const ParameterBinding& binding, int item) {
    const std::vector<std::string>& items = ListItems(binding.list);
    if (item < 0 || item >= static_cast<int>(items.size()))
        return "(none)";
    return items[static_cast<std::size_t>(item)];
}

// A knob or slider that refuses the byte keeps whatever it showed before;
// the byte itself is the honest answer then.
std::string RefusedByte(std::uint8_t byte) {
    return "(byte " + std::to_string(byte) + ")";
}

std::string ControlText(const ParameterBinding& binding, std::uint8_t byte) {
    const std::optional<int> value = ValueForByte(binding, byte);
    switch (binding.kind) {
    case ControlKind::List:
        return ListText(binding, value.value_or(NoSelection));
    case ControlKind::Led:
        return value.value_or(0) != 0 ? "On" : "Off";
    case ControlKind::Knob:
        if (!value)
            return RefusedByte(byte);
        return ValueText(binding, *value);
    case ControlKind::Slider:
        return value ? std::to_string(*value) : RefusedByte(byte);
    }
    return RefusedByte(byte);
}

std::string TrimmedName(const TSoundRecord& sound) {
    std::string name = GetSoundName(sound);
    name.erase(name.find_last_not_of(' ') + 1);
    return NameToUtf8(name);
}

ParameterComparison Row(const TSoundRecord& first, const TSoundRecord& second, int parameter) {
    ParameterComparison row{ParameterTitle(parameter), ParameterText(first, parameter),
                            ParameterText(second, parameter),
                            ByteOf(first, parameter) != ByteOf(second, parameter)};
    // Different bytes may look alike on a control; the bytes tell them apart.
    if (row.differs && row.first == row.second) {
        row.first += " " + RefusedByte(ByteOf(first, parameter));
        row.second += " " + RefusedByte(ByteOf(second, parameter));
    }
    return row;
}

} // namespace

std::string ParameterTitle(int parameter) {
    const std::string& numbered = ParameterNames().at(static_cast<std::size_t>(parameter));
    // " 105 Assignable Parameter 1", "20 Filter Frequency", " 110—Unused"
    std::size_t start = numbered.find_first_not_of(' ');
    start = numbered.find_first_not_of("0123456789", start);
    if (numbered.compare(start, 3, "\xE2\x80\x94") == 0)
        start += 3;
    else if (start < numbered.size() && (numbered[start] == ' ' || numbered[start] == '-'))
        ++start;
    return numbered.substr(start);
}

std::string ParameterText(const TSoundRecord& sound, int parameter) {
    const std::uint8_t byte = ByteOf(sound, parameter);
    const std::vector<const ParameterBinding*> bindings = BindingsOf(parameter);
    if (bindings.empty())
        return std::to_string(byte);
    std::string text = ControlText(*bindings.front(), byte);
    // "Pulse Wave" shows its width on the knob beside the list.
    if (bindings.size() > 1 && ValueForByte(*bindings.front(), byte) == PulseWaveItem)
        text += ", " + std::string(bindings[1]->caption) + " " + ControlText(*bindings[1], byte);
    return text;
}

std::vector<ParameterComparison> CompareSounds(const TSoundRecord& first,
                                               const TSoundRecord& second, bool onlyDifferences) {
    std::vector<ParameterComparison> rows;
    for (int parameter = 0; parameter < NamedParameterCount; ++parameter) {
        if (!IsShown(parameter))
            continue;
        ParameterComparison row = Row(first, second, parameter);
        if (row.differs || !onlyDifferences)
            rows.push_back(std::move(row));
    }
    const bool namesDiffer =
        !std::equal(first.Bytes.begin() + SoundLayout::NameOffset,
                    first.Bytes.begin() + SoundLayout::NameOffset + SoundLayout::NameLength,
                    second.Bytes.begin() + SoundLayout::NameOffset);
    if (namesDiffer || !onlyDifferences)
        rows.push_back({"Name", TrimmedName(first), TrimmedName(second), namesDiffer});
    return rows;
}

int DifferenceCount(const TSoundRecord& first, const TSoundRecord& second) {
    return static_cast<int>(CompareSounds(first, second, true).size());
}

std::vector<ParameterComparison> CompareKeptParameters(const TSoundRecord& first,
                                                       const TSoundRecord& second) {
    std::vector<ParameterComparison> rows;
    const auto isName = [](int parameter) {
        return parameter >= NamedParameterCount &&
               parameter < NamedParameterCount + SoundLayout::NameLength;
    };
    for (int parameter = 0; parameter < SoundLayout::SentParameterCount; ++parameter) {
        if (isName(parameter) || ByteOf(first, parameter) == ByteOf(second, parameter))
            continue;
        if (parameter < NamedParameterCount && IsShown(parameter))
            rows.push_back(Row(first, second, parameter));
        else
            rows.push_back({"Parameter " + std::to_string(parameter),
                            std::to_string(ByteOf(first, parameter)),
                            std::to_string(ByteOf(second, parameter)), true});
    }
    std::vector<ParameterComparison> shown = CompareSounds(first, second, true);
    if (!shown.empty() && shown.back().name == "Name")
        rows.push_back(shown.back());
    return rows;
}

bool SameSentParameters(const TSoundRecord& first, const TSoundRecord& second) {
    const auto begin = SoundLayout::ParameterByte(0);
    const auto end = SoundLayout::ParameterByte(SoundLayout::SentParameterCount);
    return std::equal(first.Bytes.begin() + begin, first.Bytes.begin() + end,
                      second.Bytes.begin() + begin);
}
