#include "edit_session.h"

#include "parameter_tables.h"

#include <algorithm>

namespace {
constexpr std::uint8_t Blank = ' ';

std::size_t At(int index) {
    return static_cast<std::size_t>(index);
}

EditSession::Block BlockOf(const TSoundRecord& sound, const EditSession::Block& carried) {
    EditSession::Block block = carried;
    std::copy(sound.Bytes.begin(), sound.Bytes.end(), block.begin());
    return block;
}

TSoundRecord SoundOf(const EditSession::Block& block) {
    TSoundRecord sound;
    std::copy(block.begin(), block.begin() + TSoundRecord::Size, sound.Bytes.begin());
    return sound;
}

std::uint8_t ParameterIn(const EditSession::Block& block, int p) {
    return block[At(SoundLayout::ParameterByte(p))];
}

// What the controls show for `block`; a control that cannot show its byte
// keeps what it showed in `shown`.
ControlValues ShownValues(const EditSession::Block& block, ControlValues shown) {
    for (int row = 0; row < BoundControlCount; ++row) {
        const ParameterBinding& binding = ParameterBindings[At(row)];
        if (const auto value = ValueForByte(binding, ParameterIn(block, binding.parameter)))
            shown[At(row)] = *value;
    }
    return shown;
}

std::uint8_t ParameterOf(const TSoundRecord& sound, int p) {
    return sound[SoundLayout::ParameterByte(p)];
}

// Decodes UTF-8 into Windows-1252 bytes, one per character; a character
// without a byte, or a malformed or overlong sequence, becomes '?'.
std::string Utf8ToName(std::string_view text) {
    std::string bytes;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        int length = lead < 0x80           ? 1
                     : (lead >> 5) == 0x6  ? 2
                     : (lead >> 4) == 0xE  ? 3
                     : (lead >> 3) == 0x1E ? 4
                                           : 0;
        char32_t character = length == 1   ? lead
                             : length == 2 ? (lead & 0x1F)
                             : length == 3 ? (lead & 0x0F)
                                           : (lead & 0x07);
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<std::uint8_t>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            character = (character << 6) | (next & 0x3F);
        }
        if (!valid) {
            bytes += '?';
            ++i;
            continue;
        }
        // An overlong form (C0 80 for a NUL, say) names no character.
        constexpr char32_t Shortest[] = {0, 0, 0x80, 0x800, 0x10000};
        const bool overlong = character < Shortest[length];
        bytes += overlong ? '?' : static_cast<char>(UnicodeToCp1252(character));
        i += static_cast<std::size_t>(length);
    }
    return bytes;
}
} // namespace

std::vector<int> ParametersToSend(const TSoundRecord& before, const TSoundRecord& after) {
    using SoundParameter::Arpeggiator;
    using SoundParameter::GatedSequencer;
    std::vector<int> parameters;
    const auto changed = [&](int p) { return ParameterOf(before, p) != ParameterOf(after, p); };
    for (int p = 0; p < SoundParameter::Count; ++p)
        if (p != Arpeggiator && p != GatedSequencer && changed(p))
            parameters.push_back(p);
    if (!changed(Arpeggiator) && !changed(GatedSequencer))
        return parameters;
    // The instrument never plays both: the one switched on goes last, after
    // the other. When both end off, the switches that changed go out.
    if (ParameterOf(after, Arpeggiator) == 1) {
        parameters.push_back(GatedSequencer);
        parameters.push_back(Arpeggiator);
    } else if (ParameterOf(after, GatedSequencer) == 1) {
        parameters.push_back(Arpeggiator);
        parameters.push_back(GatedSequencer);
    } else {
        if (changed(Arpeggiator))
            parameters.push_back(Arpeggiator);
        if (changed(GatedSequencer))
            parameters.push_back(GatedSequencer);
    }
    return parameters;
}

std::vector<EditSession::Nrpn> MessagesBetween(const TSoundRecord& before,
                                               const TSoundRecord& after) {
    std::vector<EditSession::Nrpn> messages;
    for (const int p : ParametersToSend(before, after))
        messages.push_back({p, ParameterFacts(p).nrpn, ParameterOf(after, p)});
    return messages;
}

EditSession::EditSession(const TSoundRecord& sound)
    : block_(BlockOf(sound, {})), original_(block_), values_(ShownValues(block_, {})),
      originalValues_(values_) {}

TSoundRecord EditSession::Sound() const {
    return SoundOf(block_);
}

TSoundRecord EditSession::Original() const {
    return SoundOf(original_);
}

std::uint8_t EditSession::Parameter(int p) const {
    return ParameterIn(block_, p);
}

std::string EditSession::NameToShow() const {
    const Block& shown = comparing_ ? original_ : block_;
    std::string bytes;
    for (int i = 0; i < SoundLayout::NameLength; ++i) {
        const std::uint8_t byte = shown[At(SoundLayout::NameOffset + i)];
        bytes += static_cast<char>(byte < Blank ? Blank : byte);
    }
    const auto first = bytes.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const auto last = bytes.find_last_not_of(' ');
    return NameToUtf8(std::string_view(bytes).substr(first, last - first + 1));
}

void EditSession::WriteParameterOf(int row) {
    const ParameterBinding& binding = ParameterBindings[At(row)];
    const SoundParameterFacts& facts = ParameterFacts(binding.parameter);
    std::uint8_t byte = ByteForValue(binding, values_[At(row)]);
    if (facts.pulseWidthRow >= 0) // a shape and its pulse width share one byte
        byte = ShapeByte(values_[At(facts.row)], values_[At(facts.pulseWidthRow)]);
    block_[At(SoundLayout::ParameterByte(binding.parameter))] = byte;
}

std::optional<EditSession::Change> EditSession::SetValue(int row, int value) {
    if (comparing_)
        return std::nullopt;
    const ParameterBinding& binding = ParameterBindings.at(At(row));
    if (binding.kind == ControlKind::Led)
        value = value != 0 ? 1 : 0;
    else if (value < binding.min || value > binding.max)
        return Change{};
    ControlValues values = values_;
    values[At(row)] = value;
    // A user's switch never leaves the arpeggiator and the gated sequencer both on.
    const int other = binding.parameter == SoundParameter::Arpeggiator
                          ? RowOfParameter(SoundParameter::GatedSequencer)
                      : binding.parameter == SoundParameter::GatedSequencer
                          ? RowOfParameter(SoundParameter::Arpeggiator)
                          : -1;
    if (other >= 0 && value == 1)
        values[At(other)] = 0;
    return SetValues(values);
}

std::optional<EditSession::Change> EditSession::SetValues(const ControlValues& values) {
    if (comparing_)
        return std::nullopt;
    const TSoundRecord before = Sound();
    Change change;
    for (int row = 0; row < BoundControlCount; ++row) {
        if (values[At(row)] == values_[At(row)])
            continue;
        values_[At(row)] = values[At(row)];
        change.rows.push_back(row);
    }
    for (const int row : change.rows)
        WriteParameterOf(row);
    change.messages = MessagesBetween(before, Sound());
    return change;
}

std::optional<EditSession::Change> EditSession::SetName(std::string_view text) {
    if (comparing_)
        return std::nullopt;
    const TSoundRecord before = Sound();
    std::string name = Utf8ToName(text);
    name.resize(SoundLayout::NameLength, ' ');
    for (int i = 0; i < SoundLayout::NameLength; ++i)
        block_[At(SoundLayout::NameOffset + i)] = static_cast<std::uint8_t>(name[At(i)]);
    Change change;
    change.messages = MessagesBetween(before, Sound());
    return change;
}

EditSession::Change EditSession::Become(const Block& after) {
    const TSoundRecord before = Sound();
    const std::string nameBefore = NameToShow();
    block_ = after;
    const ControlValues shown = ShownValues(block_, values_);
    Change change;
    for (int row = 0; row < BoundControlCount; ++row)
        if (shown[At(row)] != values_[At(row)])
            change.rows.push_back(row);
    values_ = shown;
    change.name = NameToShow() != nameBefore;
    change.messages = MessagesBetween(before, Sound());
    return change;
}

std::optional<EditSession::Change> EditSession::Load(const TSoundRecord& sound) {
    if (comparing_)
        return std::nullopt;
    return Become(BlockOf(sound, block_));
}

EditSession::Change EditSession::FromInstrument(int parameter, std::uint8_t byte) {
    if (comparing_ || parameter < 0 || parameter >= SoundParameter::Count)
        return {};
    Block after = block_;
    after[At(SoundLayout::ParameterByte(parameter))] = byte;
    Change change = Become(after);
    change.messages.clear(); // the instrument has it already
    return change;
}

EditSession::Change EditSession::StartCompare() {
    if (comparing_)
        return {};
    originalValues_ = ShownValues(original_, values_);
    Change change;
    for (int row = 0; row < BoundControlCount; ++row)
        if (originalValues_[At(row)] != values_[At(row)])
            change.rows.push_back(row);
    const std::string edited = NameToShow();
    comparing_ = true;
    change.name = NameToShow() != edited;
    change.messages = MessagesBetween(Sound(), Original());
    return change;
}

EditSession::Change EditSession::StopCompare() {
    if (!comparing_)
        return {};
    Change change;
    for (int row = 0; row < BoundControlCount; ++row)
        if (originalValues_[At(row)] != values_[At(row)])
            change.rows.push_back(row);
    const std::string original = NameToShow();
    comparing_ = false;
    change.name = NameToShow() != original;
    change.messages = MessagesBetween(Original(), Sound());
    return change;
}
