#include "edit_session.h"

#include "parameter_tables.h"

#include <algorithm>

namespace {
constexpr int ArpeggiatorParameter = 98;
constexpr int GatedSequencerParameter = 100;
constexpr int SentParameters = 200; // parameters 0..199 have an NRPN number
constexpr std::uint8_t Blank = ' ';

std::size_t At(int index) {
    return static_cast<std::size_t>(index);
}

// The controls of each parameter: one row, or for an oscillator shape its
// list and its pulse-width knob. Indexed by the parameter's first row.
struct ParameterRows {
    int first = -1;
    int second = -1; // the pulse-width knob of a shape list
};

const std::array<ParameterRows, BoundControlCount>& RowsOfParameters() {
    static const std::array<ParameterRows, BoundControlCount> rows = [] {
        std::array<ParameterRows, BoundControlCount> result{};
        for (int i = 0; i < BoundControlCount; ++i) {
            const ParameterBinding& row = ParameterBindings[At(i)];
            if (IsPulseWidthKnob(row))
                continue;
            result[At(i)].first = i;
            if (row.list == ValueList::OscillatorShape) {
                for (int k = 0; k < BoundControlCount; ++k)
                    if (IsPulseWidthKnob(ParameterBindings[At(k)]) &&
                        ParameterBindings[At(k)].parameter == row.parameter)
                        result[At(i)].second = k;
            }
        }
        return result;
    }();
    return rows;
}

// The byte the controls of a parameter store.
std::uint8_t StoredByte(const ParameterRows& rows, const ControlValues& values) {
    const ParameterBinding& row = ParameterBindings[At(rows.first)];
    if (rows.second >= 0)
        return ShapeByte(values[At(rows.first)], values[At(rows.second)]);
    return ByteForValue(row, values[At(rows.first)]);
}

// The arpeggiator and the gated sequencer exclude each other on the
// instrument: the one switched on goes last, after the other one. When a
// change leaves both off, the switches that changed go out, so the
// instrument plays what the window shows.
struct Switches {
    std::uint8_t arpeggiator;
    std::uint8_t gatedSequencer;
};

template <typename Send> void SendSwitchPair(Switches before, Switches now, Send send) {
    const bool arpeggiatorChanged = before.arpeggiator != now.arpeggiator;
    const bool sequencerChanged = before.gatedSequencer != now.gatedSequencer;
    if (!arpeggiatorChanged && !sequencerChanged)
        return;
    const bool arpeggiatorOn = now.arpeggiator == 1;
    const bool sequencerOn = now.gatedSequencer == 1;
    if (arpeggiatorOn) {
        send(GatedSequencerParameter);
        send(ArpeggiatorParameter);
    }
    if (sequencerOn) {
        send(ArpeggiatorParameter);
        send(GatedSequencerParameter);
    }
    if (!arpeggiatorOn && !sequencerOn) {
        if (arpeggiatorChanged)
            send(ArpeggiatorParameter);
        if (sequencerChanged)
            send(GatedSequencerParameter);
    }
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

EditSession::EditSession(const TSoundRecord& sound) {
    std::copy(sound.Bytes.begin(), sound.Bytes.end(), block_.begin());
}

TSoundRecord EditSession::Sound() const {
    TSoundRecord sound;
    std::copy(block_.begin(), block_.begin() + TSoundRecord::Size, sound.Bytes.begin());
    return sound;
}

std::uint8_t EditSession::Parameter(int p) const {
    return block_[At(SoundLayout::ParameterByte(p))];
}

std::array<std::optional<int>, BoundControlCount> EditSession::ValuesToShow() const {
    std::array<std::optional<int>, BoundControlCount> shown;
    for (int i = 0; i < BoundControlCount; ++i) {
        const ParameterBinding& row = ParameterBindings[At(i)];
        shown[At(i)] = ValueForByte(row, Parameter(row.parameter));
    }
    return shown;
}

std::string EditSession::NameToShow() const {
    std::string bytes;
    for (int i = 0; i < SoundLayout::NameLength; ++i) {
        const std::uint8_t byte = block_[At(SoundLayout::NameOffset + i)];
        bytes += static_cast<char>(byte < Blank ? Blank : byte);
    }
    const auto first = bytes.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const auto last = bytes.find_last_not_of(' ');
    return NameToUtf8(std::string_view(bytes).substr(first, last - first + 1));
}

void EditSession::Loaded(const ControlValues& values) {
    loadedValues_ = values;
    kept_.fill(false);
    const auto shown = ValuesToShow();
    for (const ParameterRows& rows : RowsOfParameters()) {
        if (rows.first < 0)
            continue;
        const std::uint8_t byte = Parameter(ParameterBindings[At(rows.first)].parameter);
        // A pulse width under a shape below "Pulse Wave" is not shown by design;
        // the shape list alone carries such a byte.
        const bool pulseWidthRefused = rows.second >= 0 && byte >= 4 && !shown[At(rows.second)];
        const bool kept =
            !shown[At(rows.first)] || pulseWidthRefused || StoredByte(rows, values) != byte;
        kept_[At(rows.first)] = kept;
        if (rows.second >= 0)
            kept_[At(rows.second)] = kept;
    }
}

void EditSession::NameEdited() {
    nameEdited_ = true;
}

std::vector<EditSession::Nrpn> EditSession::ReadBack(const ControlValues& values,
                                                     std::string_view nameField) {
    for (int p = 0; p < static_cast<int>(before_.size()); ++p)
        before_[At(p)] = Parameter(p);

    if (nameEdited_) {
        std::string name = Utf8ToName(nameField);
        name.resize(SoundLayout::NameLength, ' ');
        for (int i = 0; i < SoundLayout::NameLength; ++i)
            block_[At(SoundLayout::NameOffset + i)] = static_cast<std::uint8_t>(name[At(i)]);
    }

    for (const ParameterRows& rows : RowsOfParameters()) {
        if (rows.first < 0)
            continue;
        if (kept_[At(rows.first)]) {
            const bool moved =
                values[At(rows.first)] != loadedValues_[At(rows.first)] ||
                (rows.second >= 0 && values[At(rows.second)] != loadedValues_[At(rows.second)]);
            if (!moved)
                continue;
            // Once moved, the parameter follows its controls for good.
            kept_[At(rows.first)] = false;
            if (rows.second >= 0)
                kept_[At(rows.second)] = false;
        }
        const int p = ParameterBindings[At(rows.first)].parameter;
        block_[At(SoundLayout::ParameterByte(p))] = StoredByte(rows, values);
    }

    std::vector<Nrpn> messages;
    const auto send = [&](int p) { messages.push_back({p, NrpnNumbers[At(p)], Parameter(p)}); };
    for (int p = 0; p < SentParameters; ++p)
        if (p != ArpeggiatorParameter && p != GatedSequencerParameter &&
            Parameter(p) != before_[At(p)])
            send(p);
    SendSwitchPair({before_[ArpeggiatorParameter], before_[GatedSequencerParameter]},
                   {Parameter(ArpeggiatorParameter), Parameter(GatedSequencerParameter)}, send);
    return messages;
}
