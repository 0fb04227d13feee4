#include "parameter_binding.h"
#include "parameter_tables.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace {
const ParameterBinding& Row(std::string_view member) {
    const int index = BindingIndex(member);
    EXPECT_GE(index, 0) << member;
    return ParameterBindings.at(static_cast<std::size_t>(index < 0 ? 0 : index));
}
} // namespace

TEST(ParameterBinding, EveryParameterHasItsControlsAndEveryControlItsButton) {
    std::set<std::string_view> members;
    std::set<std::string_view> buttons;
    std::map<int, int> bound;
    for (const ParameterBinding& row : ParameterBindings) {
        EXPECT_TRUE(members.insert(row.key).second) << row.key;
        EXPECT_TRUE(buttons.insert(row.randomButton).second) << row.randomButton;
        ++bound[row.parameter];
        EXPECT_GE(row.page, 0);
        EXPECT_LT(row.page, EditorPageCount);
        EXPECT_FALSE(row.group.empty()) << row.key;
        if (row.kind == ControlKind::List) {
            EXPECT_EQ(row.min, 0) << row.key;
            EXPECT_EQ(row.max, static_cast<int>(ListItems(row.list).size()) - 1) << row.key;
        }
        if (row.kind == ControlKind::Led) {
            EXPECT_EQ(row.min, 0);
            EXPECT_EQ(row.max, 1);
        }
    }
    EXPECT_EQ(ParameterBindings.size(), 175u);
    for (int p = 0; p < NamedParameterCount; ++p) {
        const int expected = (p == 2 || p == 8) ? 2 : (p >= 109 && p <= 119) ? 0 : 1;
        EXPECT_EQ(bound[p], expected) << "parameter " << p;
    }
    EXPECT_EQ(BindingIndex("cmbOsc1Shape"), 0);
    EXPECT_EQ(BindingIndex("SldSeq416"), 174);
    EXPECT_EQ(BindingIndex("edtName"), -1);
}

TEST(ParameterBinding, RowsCarryTheirParameterNumberAndRange) {
    struct Case {
        std::string_view member;
        int parameter, min, max, offset;
        std::string_view button;
    };
    const Case cases[] = {
        {"knobOsc1Fine", 1, -50, 50, 50, "BitBtn1"},
        {"knobSubOsc2Level", 11, 0, 127, 0, "BitBtn11"},
        {"knobOsc2Pulsewidth", 8, 0, 99, 0, "BitBtn9"},
        {"KnobFilterEnvAttack", 28, 0, 127, 0, "BitBtn31"},
        {"KnobVCAEnvRelease", 39, 0, 127, 0, "BitBtn43"},
        {"KnobLFO1Frequency", 41, 0, 166, 0, "btnFilter1Cutoff"},
        {"KnobMod3Amount", 77, -127, 127, 127, "BitBtn66"},
        {"KnobBPMTempo", 95, 30, 250, 0, "BitBtn84"},
        {"cmbAssignable2", 106, 0, 183, 0, "BitBtn157"},
        {"SldSeq110", 129, 0, 127, 0, "btnSeqTrack110"},
        {"SldSeq201", 136, 0, 125, 0, "btnSeqTrack21"},
    };
    for (const Case& c : cases) {
        const ParameterBinding& row = Row(c.member);
        EXPECT_EQ(row.parameter, c.parameter) << c.member;
        EXPECT_EQ(row.min, c.min) << c.member;
        EXPECT_EQ(row.max, c.max) << c.member;
        EXPECT_EQ(row.offset, c.offset) << c.member;
        EXPECT_EQ(row.randomButton, c.button) << c.member;
    }
    // The instrument's numbers where they leave the parameter order.
    const std::pair<std::string_view, int> nrpns[] = {
        {"knobSubOsc1Level", 114},       {"knobOsc2Frequency", 5},
        {"KnobPitchBendRange", 93},      {"cmbKeyAssignMode", 96},
        {"KnobVCAVoiceVolume", 29},      {"CheckLedEnv3Repeat", 98},
        {"KnobPushItNoteNumber", 111},   {"CheckLedApreggiator", 100},
        {"CheckLedGatedSequencer", 101}, {"cmbSequence1Dest", 77},
        {"cmbAssignable4", 108},         {"SldSeq416", 183},
    };
    for (const auto& [member, nrpn] : nrpns)
        EXPECT_EQ(NrpnNumbers[static_cast<std::size_t>(Row(member).parameter)], nrpn) << member;
    EXPECT_EQ(Row("SldSeq303").group, "Sequence Track 3");
    EXPECT_EQ(Row("SldSeq303").page, 3);
    EXPECT_EQ(Row("KnobEnv3VeloAmount").caption, "Velo Amount");
}

TEST(ParameterBinding, Texts) {
    const auto& names = ParameterNames();
    EXPECT_EQ(names[0], "0 Oscillator 1 Frequency");
    EXPECT_EQ(names[105], " 105 Assignable Parameter 1");
    EXPECT_EQ(names[109], " 109\xE2\x80\x94Unused");
    EXPECT_EQ(names[119], " 119-Unused");
    EXPECT_EQ(names[120], "120 Sequence Track1, step 1");
    EXPECT_EQ(names[183], "183 Sequence Track4, step 16");
    EXPECT_EQ(ListItems(ValueList::Assignables).front(), "0-0 Oscillator 1 Frequency");
    EXPECT_EQ(ListItems(ValueList::Destinations).back(), "Sub Osc 2 Level");
    EXPECT_EQ(ListItems(ValueList::ControllerDestinations).back(), "Mod 4 Amt");

    const std::pair<ValueList, std::size_t> sizes[] = {
        {ValueList::OscillatorShape, 5},
        {ValueList::GlideMode, 4},
        {ValueList::KeyAssignMode, 6},
        {ValueList::LfoShape, 5},
        {ValueList::PushItMode, 3},
        {ValueList::ClockDivide, 13},
        {ValueList::ArpeggiatorMode, 4},
        {ValueList::SequencerTrigger, 6},
        {ValueList::Destinations, 47},
        {ValueList::ControllerDestinations, 44},
        {ValueList::Sources, 23},
        {ValueList::Assignables, 184},
        {ValueList::None, 0},
    };
    for (const auto& [list, size] : sizes)
        EXPECT_EQ(ListItems(list).size(), size) << static_cast<int>(list);
}

TEST(ParameterBinding, CaptionsFollowTheValue) {
    struct Case {
        std::string_view member;
        int value;
        std::string caption;
    };
    const Case cases[] = {
        {"knobOsc1Frequency", 0, "C0"},           {"knobOsc1Frequency", 120, "C10"},
        {"KnobPushItNoteNumber", 61, "C#5"},      {"KnobLFO1Frequency", 150, "150"},
        {"KnobLFO1Frequency", 151, "DIV 32"},     {"KnobLFO4Frequency", 166, "16C/1S"},
        {"KnobFilterFrequency", 12, "Frequency"}, {"SldSeq101", 5, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CaptionAt(Row(c.member), c.value), c.caption) << c.member << " " << c.value;
}

TEST(ParameterBinding, BytesBecomeValuesAndBack) {
    constexpr std::optional<int> Keeps;
    struct Case {
        std::string_view member;
        int byte;
        std::optional<int> shown;
        int storedBack; // the byte the shown value stores; -1 when nothing is shown
    };
    const Case cases[] = {
        {"cmbOsc1Shape", 54, 4, -1},
        {"knobOsc1Pulsewidth", 54, 50, -1},
        {"cmbOsc1Shape", 2, 2, 2},
        {"knobOsc1Pulsewidth", 2, Keeps, -1},
        {"knobOsc1Pulsewidth", 104, Keeps, -1},
        {"KnobFilterEnvAmount", 0, -127, 0},
        {"KnobMod1Amount", 127, 0, 127},
        {"KnobEnv3Amount", 254, 127, 254},
        {"KnobFootControlAmount", 255, Keeps, -1},
        {"knobOsc1Fine", 50, 0, 50},
        {"knobOsc2Fine", 0, -50, 0},
        {"KnobBPMTempo", 29, Keeps, -1},
        {"KnobBPMTempo", 30, 30, 30},
        {"KnobBPMTempo", 251, Keeps, -1},
        {"knobSubOsc1Level", 0, 0, 0},
        {"cmbModWheelDestination", 43, 43, 43},
        {"cmbModWheelDestination", 44, NoSelection, 255},
        {"cmbFootControlDestination", 46, NoSelection, 255},
        {"cmbMod1Destination", 46, 46, 46},
        {"CheckLedEnv3Repeat", 2, 1, 1},
        {"CheckLedFilterPoles", 2, 0, 0},
        {"CheckLedFilterPoles", 1, 1, 1},
        {"SldSeq116", 127, 127, 127},
        {"SldSeq216", 126, Keeps, -1},
        {"SldSeq216", 125, 125, 125},
    };
    for (const Case& c : cases) {
        const ParameterBinding& row = Row(c.member);
        const auto shown = ValueForByte(row, static_cast<std::uint8_t>(c.byte));
        EXPECT_EQ(shown, c.shown) << c.member << " " << c.byte;
        if (shown && c.storedBack >= 0) {
            EXPECT_EQ(ByteForValue(row, *shown), c.storedBack) << c.member << " " << c.byte;
        }
    }
    EXPECT_EQ(ShapeByte(4, 50), 54);
    EXPECT_EQ(ShapeByte(2, 50), 2);
    EXPECT_EQ(ShapeByte(4, 99), 103);
    EXPECT_EQ(ShapeByte(NoSelection, 0), 255);
    EXPECT_EQ(ByteForValue(Row("CheckLedApreggiator"), 1), 1);
}

TEST(ParameterTable, EachParameterLeadsToItsControlsAndBack) {
    std::set<int> numbers;
    for (int p = 0; p < SoundParameter::Count; ++p) {
        const SoundParameterFacts& facts = ParameterFacts(p);
        EXPECT_EQ(facts.nrpn, NrpnNumbers[static_cast<std::size_t>(p)]);
        EXPECT_FALSE(facts.name.empty());
        for (const int row : {facts.row, facts.pulseWidthRow}) {
            if (row >= 0) {
                EXPECT_EQ(ParameterBindings[static_cast<std::size_t>(row)].parameter, p);
            }
        }
        if (facts.row >= 0) { // no two controlled parameters share a number
            EXPECT_TRUE(numbers.insert(facts.nrpn).second) << p;
        }
        EXPECT_EQ(facts.section.empty(), facts.row < 0) << p;
    }
    EXPECT_EQ(ParameterFacts(SoundParameter::Osc2Shape).pulseWidthRow,
              BindingIndex("knobOsc2Pulsewidth"));
    EXPECT_EQ(SeqStepRow(3, 16), BindingIndex("SldSeq316"));
    EXPECT_EQ(SeqDestinationRow(4), BindingIndex("cmbSequence4Dest"));
    EXPECT_EQ(SeqTrackOfRow(BindingIndex("SldSeq201")), 2);
    EXPECT_EQ(SeqTrackOfRow(BindingIndex("KnobBPMTempo")), 0);
}

TEST(ParameterTable, EveryValueReadsBackFromItsShownText) {
    for (const ParameterBinding& row : ParameterBindings)
        for (int value = row.min; value <= row.max; ++value)
            EXPECT_EQ(ValueFromText(row, ValueText(row, value)), value) << row.key << " " << value;
    struct Case {
        std::string_view member, text;
        std::optional<int> value;
    };
    const Case cases[] = {
        {"knobOsc1Frequency", "c#3", 37},
        {"knobOsc1Frequency", " 37 ", 37},
        {"KnobLFO1Frequency", "DIV 16", 152},
        {"KnobFilterEnvAmount", "-127", -127},
        {"cmbLFO1Shape", "random", 4},
        {"KnobFilterEnvAmount", "128", std::nullopt},
        {"knobOsc1Frequency", "X9", std::nullopt},
        {"KnobBPMTempo", "", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ValueFromText(Row(c.member), c.text), c.value) << c.member << " " << c.text;
}
