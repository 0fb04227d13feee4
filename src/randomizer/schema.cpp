#include "schema.h"

#include "note_names.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

const ParameterBinding& SchemaEntry::Binding() const {
    return ParameterBindings[static_cast<std::size_t>(row)];
}

SchemaList::SchemaList() {
    entries_.reserve(ParameterBindings.size());
    for (std::size_t row = 0; row < ParameterBindings.size(); ++row)
        entries_.push_back({SchemaKey(ParameterBindings[row].member), static_cast<int>(row), {}});
}

SchemaEntry* SchemaList::Find(std::string_view member) {
    const int row = BindingIndex(member);
    return row < 0 ? nullptr : &entries_[static_cast<std::size_t>(row)];
}

const SchemaEntry* SchemaList::Find(std::string_view member) const {
    return const_cast<SchemaList*>(this)->Find(member);
}

std::string SchemaKey(std::string_view member) {
    std::string key(member);
    if (key.size() < SchemaKeyWidth)
        key.resize(SchemaKeyWidth, ' ');
    return key;
}

std::string EveryValueAllowed(const ParameterBinding& binding) {
    return std::string(static_cast<std::size_t>(binding.max - binding.min + 1), '1');
}

SchemaList AnyValueSchema() {
    SchemaList list;
    for (SchemaEntry& entry : list)
        entry.allowed = EveryValueAllowed(entry.Binding());
    return list;
}

const std::array<Scale, ScaleCount> ScaleTable = {{
    {"Chromatic", "111111111111"},
    {"Ionian", "101011010101"},
    {"Dorian", "101101010110"},
    {"Lydian", "101010110101"},
    {"Mixolydian", "101011010110"},
    {"Aeolin", "101101011010"},
    {"Locrian", "110101101010"},
    {"Major Blues", "100110010110"},
    {"Minor Blues", "100101110010"},
    {"3rd interval", "100010001000"},
    {"4th interval", "100001000010"},
    {"5th interval", "100000010000"},
    {"Octave interval", "100000000000"},
}};

bool Scale::Contains(int value) const {
    const int step = ((value % 12) + 12) % 12;
    return steps[static_cast<std::size_t>(step)] == '1';
}

std::string ScaleChoiceText(const Scale& scale) {
    std::string text(scale.name);
    text += ' ';
    for (int step = 0; step < 12; ++step) {
        if (scale.Contains(step)) {
            text += NoteNames[static_cast<std::size_t>(step)];
            text += ' ';
        }
    }
    return text;
}

// ---- Deriving a schema from a sound ------------------------------------------

namespace {

const Scale& ChosenScale(int schemaScale) {
    const bool chosen = schemaScale >= 1 && schemaScale <= ScaleCount;
    return ScaleTable[static_cast<std::size_t>(chosen ? schemaScale - 1 : 0)];
}

} // namespace

std::string DerivedAllowed(const ParameterBinding& binding, int value,
                           const SchemaTolerances& tolerances) {
    if (binding.kind == ControlKind::Led)
        return value == 1 ? "01" : "10";
    const Scale& scale = ChosenScale(tolerances.SchemaScale);
    const auto allowed = [&](int candidate) {
        const int d = candidate - value;
        switch (binding.kind) {
        case ControlKind::List:
            return std::abs(d) <= tolerances.ToleranceComboBox;
        case ControlKind::Slider:
            return std::abs(d) <= tolerances.ArpTolerance && scale.Contains(candidate);
        case ControlKind::Knob:
        case ControlKind::Led:
            break;
        }
        if (binding.tag == NoteKnobTag)
            return d % 12 == 0 && std::abs(d) <= 12 * tolerances.ToleranceOctave;
        if (binding.tag == LfoFrequencyKnobTag)
            return std::abs(d) <= tolerances.ToleranceDetuneKnobs;
        return std::abs(d) <= tolerances.ToleranceOtherKnobs;
    };
    std::string text;
    text.reserve(static_cast<std::size_t>(binding.max - binding.min + 1));
    for (int candidate = binding.min; candidate <= binding.max; ++candidate)
        text += allowed(candidate) ? '1' : '0';
    return text;
}

SchemaList DeriveSchemaFromSound(const ControlValues& values, const SchemaTolerances& tolerances) {
    SchemaList list;
    for (SchemaEntry& entry : list)
        entry.allowed = DerivedAllowed(entry.Binding(), values[static_cast<std::size_t>(entry.row)],
                                       tolerances);
    return list;
}

// ---- Schema file text --------------------------------------------------------

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view SectionName = "Parameters";

struct TextLine {
    std::string_view text;
    std::string_view ending; // "\r\n", "\n", "\r" or empty for the last line
};

// Calls `onLine(index, line)` for each line, split at CR LF, LF or CR. The
// lines are views into `text`: nothing is copied, so a file costs no more
// than its own bytes however many lines it holds.
template <typename OnLine> void ForEachLine(std::string_view text, OnLine onLine) {
    std::size_t start = 0;
    for (std::size_t index = 0; start < text.size(); ++index) {
        const std::size_t stop = text.find_first_of("\r\n", start);
        if (stop == std::string_view::npos) {
            onLine(index, TextLine{text.substr(start), {}});
            return;
        }
        const std::size_t endingSize = text.compare(stop, 2, "\r\n") == 0 ? 2 : 1;
        onLine(index, TextLine{text.substr(start, stop - start), text.substr(stop, endingSize)});
        start = stop + endingSize;
    }
}

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

// The name of a section header line "[name]", or nothing.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trimmed(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trimmed(line.substr(1, close - 1));
}

struct KeyValue {
    std::string_view key;
    std::string_view value;
};

// A "key=value" line; comments and lines without a key are none.
std::optional<KeyValue> KeyValueOf(std::string_view line) {
    const std::string_view trimmed = Trimmed(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#')
        return std::nullopt;
    const std::size_t equals = trimmed.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    const std::string_view key = Trimmed(trimmed.substr(0, equals));
    if (key.empty())
        return std::nullopt;
    return KeyValue{key, Trimmed(trimmed.substr(equals + 1))};
}

// The entry row a key names, or -1.
int RowOfKey(std::string_view key) {
    for (std::size_t row = 0; row < ParameterBindings.size(); ++row)
        if (SameIgnoringCase(key, ParameterBindings[row].member))
            return static_cast<int>(row);
    return -1;
}

std::string_view WithoutByteOrderMark(std::string_view text) {
    if (text.starts_with(ByteOrderMark))
        text.remove_prefix(ByteOrderMark.size());
    return text;
}

// Calls `onKey(lineIndex, row, value)` for the first line of each entry's key
// in a "Parameters" section.
template <typename OnKey> void ForEachEntryLine(std::string_view text, OnKey onKey) {
    std::vector<bool> seen(ParameterBindings.size(), false);
    bool inSection = false;
    ForEachLine(text, [&](std::size_t index, const TextLine& line) {
        if (const auto section = SectionOf(line.text)) {
            inSection = SameIgnoringCase(*section, SectionName);
            return;
        }
        if (!inSection)
            return;
        const auto keyValue = KeyValueOf(line.text);
        if (!keyValue)
            return;
        const int row = RowOfKey(keyValue->key);
        if (row < 0 || seen[static_cast<std::size_t>(row)])
            return;
        seen[static_cast<std::size_t>(row)] = true;
        onKey(index, row, keyValue->value);
    });
}

std::string_view PlatformLineEnding() {
#if defined(_WIN32)
    return "\r\n";
#else
    return "\n";
#endif
}

// An allowed string as one line of the file, whatever it holds.
std::string OneLine(std::string_view value) {
    std::string line(value);
    std::replace(line.begin(), line.end(), '\r', '0');
    std::replace(line.begin(), line.end(), '\n', '0');
    return line;
}

} // namespace

SchemaList ReadSchemaText(std::string_view text) {
    SchemaList list;
    for (SchemaEntry& entry : list)
        entry.allowed = "0";
    ForEachEntryLine(WithoutByteOrderMark(text), [&](std::size_t, int row, std::string_view value) {
        list[static_cast<std::size_t>(row)].allowed = std::string(value);
    });
    return list;
}

std::size_t SchemaKeyCount(std::string_view text) {
    std::size_t count = 0;
    ForEachEntryLine(WithoutByteOrderMark(text),
                     [&](std::size_t, int, std::string_view) { ++count; });
    return count;
}

std::string SchemaFileText(std::string_view existing, const SchemaList& list) {
    const bool hasMark = existing.starts_with(ByteOrderMark);
    const std::string_view body = WithoutByteOrderMark(existing);
    std::string_view newline = PlatformLineEnding();
    const std::size_t firstEnding = body.find_first_of("\r\n");
    if (firstEnding != std::string_view::npos)
        newline = body.compare(firstEnding, 2, "\r\n") == 0 ? "\r\n" : body.substr(firstEnding, 1);

    // The rows whose key stands on a line, by line: at most one line per entry.
    std::vector<std::pair<std::size_t, int>> entryLines;
    std::vector<bool> written(list.size(), false);
    ForEachEntryLine(body, [&](std::size_t index, int row, std::string_view) {
        entryLines.emplace_back(index, row);
        written[static_cast<std::size_t>(row)] = true;
    });

    // Missing keys go after the last non-blank line of the first section.
    std::optional<std::size_t> insertAfter;
    bool sectionEnded = false;
    std::size_t lineCount = 0;
    bool lastLineEnded = false;
    ForEachLine(body, [&](std::size_t index, const TextLine& line) {
        lineCount = index + 1;
        lastLineEnded = !line.ending.empty();
        if (sectionEnded)
            return;
        const auto section = SectionOf(line.text);
        if (section && insertAfter)
            sectionEnded = true;
        else if (section && SameIgnoringCase(*section, SectionName))
            insertAfter = index;
        else if (insertAfter && !Trimmed(line.text).empty())
            insertAfter = index;
    });

    const auto entryLine = [&](const SchemaEntry& entry) {
        return SchemaKey(entry.Binding().member) + "=" + OneLine(entry.allowed);
    };
    std::string missing;
    for (const SchemaEntry& entry : list)
        if (!written[static_cast<std::size_t>(entry.row)])
            missing += entryLine(entry) + std::string(newline);

    std::string text(hasMark ? ByteOrderMark : std::string_view{});
    text.reserve(text.size() + body.size() + missing.size());
    auto nextEntry = entryLines.begin();
    ForEachLine(body, [&](std::size_t index, const TextLine& line) {
        if (nextEntry != entryLines.end() && nextEntry->first == index) {
            text += entryLine(list[static_cast<std::size_t>(nextEntry->second)]);
            ++nextEntry;
        } else {
            text += line.text;
        }
        const bool insertHere = insertAfter && *insertAfter == index && !missing.empty();
        text += line.ending.empty() && insertHere ? newline : line.ending;
        if (insertHere)
            text += missing;
    });
    if (!insertAfter) {
        if (lineCount > 0) {
            if (!lastLineEnded)
                text += newline;
            text += newline; // a blank line before the new section
        }
        text += "[" + std::string(SectionName) + "]" + std::string(newline) + missing;
    }
    return text;
}
