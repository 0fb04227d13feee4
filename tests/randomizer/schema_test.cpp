#include "random_generator.h"
#include "schema.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const ParameterBinding& Row(std::string_view member) {
    const int row = BindingIndex(member);
    EXPECT_GE(row, 0) << member;
    return ParameterBindings[static_cast<std::size_t>(row < 0 ? 0 : row)];
}

// The values an allowed string allows for the control.
std::vector<int> AllowedValues(const ParameterBinding& binding, const std::string& allowed) {
    std::vector<int> values;
    for (std::size_t i = 0; i < allowed.size(); ++i)
        if (allowed[i] == '1')
            values.push_back(binding.min + static_cast<int>(i));
    return values;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> values;
    for (int v = first; v <= last; ++v)
        values.push_back(v);
    return values;
}

std::string EntryLine(std::string_view member, std::string_view allowed) {
    return SchemaKey(member) + "=" + std::string(allowed);
}

} // namespace

TEST(SchemaList, HoldsEveryControlInBindingOrderWithPaddedNames) {
    const SchemaList list = BuildSchemaList();
    ASSERT_EQ(list.size(), ParameterBindings.size());
    for (std::size_t row = 0; row < list.size(); ++row) {
        EXPECT_EQ(list[row].name.size(), SchemaKeyWidth);
        EXPECT_EQ(list[row].name.substr(0, ParameterBindings[row].key.size()),
                  ParameterBindings[row].key);
        EXPECT_EQ(&list[row].Binding(), &ParameterBindings[row]);
        EXPECT_TRUE(list[row].allowed.empty());
    }
    EXPECT_EQ(list[0].name, "cmbOsc1Shape             ");
    EXPECT_EQ(list.Find("SldSeq416"), &list[174]);
    EXPECT_EQ(list.Find("knobNothing"), nullptr);
}

TEST(ScaleTable, NamesItsNotesFromTheRoot) {
    for (const Scale& scale : ScaleTable) {
        ASSERT_EQ(scale.steps.size(), 12u) << scale.name;
        EXPECT_EQ(scale.steps[0], '1') << scale.name;
    }
    EXPECT_EQ(ScaleChoiceText(ScaleTable[0]), "Chromatic C C# D D# E F F# G G# A A# H ");
    EXPECT_EQ(ScaleChoiceText(ScaleTable[1]), "Ionian C D E F G A H ");
    EXPECT_EQ(ScaleChoiceText(ScaleTable[11]), "5th interval C G ");
    EXPECT_TRUE(ScaleTable[12].Contains(24));
    EXPECT_FALSE(ScaleTable[1].Contains(30));
}

TEST(DeriveSchema, EachKindKeepsItsValuesWithinItsTolerance) {
    struct Case {
        std::string_view member;
        int value;
        SchemaTolerances tolerances;
        std::vector<int> allowed;
    };
    const auto with = [](auto set) {
        SchemaTolerances tolerances;
        set(tolerances);
        return tolerances;
    };
    const Case cases[] = {
        // Note knobs move by whole octaves.
        {"knobOsc1Frequency",
         60,
         with([](auto& t) { t.ToleranceOctave = 2; }),
         {36, 48, 60, 72, 84}},
        {"knobOsc1Frequency", 5, with([](auto& t) { t.ToleranceOctave = 2; }), {5, 17, 29}},
        {"knobOsc1Frequency", 5, with([](auto& t) { t.ToleranceOctave = 0; }), {5}},
        {"KnobPushItNoteNumber", 120, with([](auto& t) { t.ToleranceOctave = 1; }), {108, 120}},
        // LFO frequencies by the detune tolerance, across free-running and synchronised rates.
        {"KnobLFO1Frequency", 151, with([](auto& t) { t.ToleranceDetuneKnobs = 3; }),
         Range(148, 154)},
        {"KnobFilterEnvAmount", 0, with([](auto& t) { t.ToleranceOtherKnobs = 10; }),
         Range(-10, 10)},
        {"KnobBPMTempo", 30, with([](auto& t) { t.ToleranceOtherKnobs = 2; }), {30, 31, 32}},
        {"cmbMod1Destination", 3, with([](auto& t) { t.ToleranceComboBox = 0; }), {3}},
        {"cmbMod1Destination", 3, with([](auto& t) { t.ToleranceComboBox = 64; }), Range(0, 46)},
        {"cmbMod1Destination", NoSelection, with([](auto& t) { t.ToleranceComboBox = 0; }), {}},
        {"cmbMod1Destination", NoSelection, with([](auto& t) { t.ToleranceComboBox = 2; }), {0, 1}},
        // Steps by the arp tolerance and the scale (SchemaScale counts rows from 1).
        {"SldSeq101",
         30,
         with([](auto& t) {
             t.ArpTolerance = 12;
             t.SchemaScale = 13;
         }),
         {24, 36}},
        {"SldSeq101",
         30,
         with([](auto& t) {
             t.ArpTolerance = 0;
             t.SchemaScale = 2;
         }),
         {}},
        {"SldSeq201", 60, with([](auto& t) {
             t.ArpTolerance = 2;
             t.SchemaScale = 0;
         }),
         Range(58, 62)},
        {"SldSeq201",
         125,
         with([](auto& t) {
             t.ArpTolerance = 5;
             t.SchemaScale = 12;
         }),
         {120}},
        // LEDs keep their state.
        {"CheckLedFilterPoles", 1, {}, {1}},
        {"CheckLedFilterPoles", 0, {}, {0}},
    };
    for (const Case& c : cases) {
        const ParameterBinding& binding = Row(c.member);
        const std::string allowed = DerivedAllowed(binding, c.value, c.tolerances);
        EXPECT_EQ(allowed.size(), static_cast<std::size_t>(binding.max - binding.min + 1))
            << c.member;
        EXPECT_EQ(AllowedValues(binding, allowed), c.allowed) << c.member << " at " << c.value;
    }
    EXPECT_EQ(DerivedAllowed(Row("CheckLedOsc1Keyboard"), 1, {}), "01");
    EXPECT_EQ(DerivedAllowed(Row("CheckLedOsc1Keyboard"), 0, {}), "10");
}

TEST(DeriveSchema, FromTheControlValuesOfASound) {
    ControlValues values{};
    for (std::size_t row = 0; row < values.size(); ++row)
        values[row] = ParameterBindings[row].min;
    values[static_cast<std::size_t>(BindingIndex("CheckLedApreggiator"))] = 1;
    values[static_cast<std::size_t>(BindingIndex("SldSeq116"))] = 30;
    values[static_cast<std::size_t>(BindingIndex("SldSeq216"))] = 30;
    SchemaTolerances tolerances;
    tolerances.SchemaScale = 2; // Ionian: 30 is no note of it
    SchemaList list = DeriveSchemaFromSound(values, tolerances);

    EXPECT_EQ(list.Find("knobOsc1Frequency")->allowed.size(), 121u);
    EXPECT_EQ(list.Find("KnobFilterEnvAmount")->allowed.size(), 255u);
    EXPECT_EQ(list.Find("KnobBPMTempo")->allowed.size(), 221u);
    EXPECT_EQ(list.Find("cmbMod1Destination")->allowed.size(), 47u);
    EXPECT_EQ(list.Find("CheckLedApreggiator")->allowed, "01");
    EXPECT_EQ(list.Find("CheckLedGatedSequencer")->allowed, "10");
    EXPECT_EQ(list.Find("SldSeq101")->allowed.size(), 128u);
    EXPECT_EQ(list.Find("SldSeq401")->allowed.size(), 126u);

    // Nothing allowed on a step: the randomizer gives it its last position.
    RandomGenerator generator(8);
    const LocalMoment noStir{2, 0, 0, 0, 0};
    EXPECT_EQ(RandomValueFor(*list.Find("SldSeq116"), generator, noStir), 127);
    EXPECT_EQ(RandomValueFor(*list.Find("SldSeq216"), generator, noStir), 125);
    EXPECT_EQ(RandomValueFor(*list.Find("CheckLedApreggiator"), generator, noStir), 1);
}

TEST(SchemaText, ReadsAnyLineEndingCaseBlanksAndGarbage) {
    const std::string shape = "01110";
    const std::string keyboard = "01";
    const std::string plain = "[Parameters]\n" + EntryLine("cmbOsc1Shape", shape) + "\n" +
                              EntryLine("CheckLedOsc1Keyboard", keyboard) + "\n";
    const std::string variants[] = {
        plain,
        "[Parameters]\r\ncmbOsc1Shape=01110\r\nCheckLedOsc1Keyboard=01\r\n",
        "[Parameters]\rcmbOsc1Shape=01110\rCheckLedOsc1Keyboard=01",
        "\xEF\xBB\xBF" + plain,
        "  [ parameters ]  \n\t CMBOSC1SHAPE \t=  01110 \ncheckledosc1keyboard=01\n",
        "garbage without equals\n[Other]\ncmbOsc1Shape=11111\n[Parameters]\n; a comment\n"
        "cmbOsc1Shape=01110\nknobUnknown=111\n=no key\n\x01\xff\xfe junk\n"
        "CheckLedOsc1Keyboard=01\ncmbOsc1Shape=00001\n[Broken\n",
        "cmbOsc1Shape=11111\n[Parameters]\ncmbOsc1Shape=01110\n[Other]\n[Parameters]\n"
        "CheckLedOsc1Keyboard=01\n",
    };
    for (const std::string& text : variants) {
        const SchemaList list = ReadSchemaText(text);
        EXPECT_EQ(list.Find("cmbOsc1Shape")->allowed, shape) << text;
        EXPECT_EQ(list.Find("CheckLedOsc1Keyboard")->allowed, keyboard) << text;
        EXPECT_EQ(list.Find("knobOsc1Frequency")->allowed, "0") << "a missing key reads as 0";
    }
}

TEST(SchemaText, ANewFileHoldsOnePaddedLinePerEntryAndReadsBack) {
    SchemaList list = DeriveSchemaFromSound(ControlValues{}, {});
    list.Find("cmbOsc1Shape")->allowed = "01110";
    const std::string text = SchemaFileText({}, list);

    std::string expected = "[Parameters]\n";
    for (const SchemaEntry& entry : list)
        expected += entry.name + "=" + entry.allowed + "\n";
#if !defined(_WIN32)
    EXPECT_EQ(text, expected);
#endif
    EXPECT_NE(text.find("\ncmbOsc1Shape             =01110"), std::string::npos);
    EXPECT_NE(text.find("\nCheckLedOsc1Keyboard     =10"), std::string::npos);
    const SchemaList back = ReadSchemaText(text);
    for (std::size_t row = 0; row < list.size(); ++row)
        EXPECT_EQ(back[row].allowed, list[row].allowed) << list[row].name;
}

TEST(SchemaText, UpdatesKeysInPlaceAndKeepsEverythingElse) {
    SchemaList list;
    for (SchemaEntry& entry : list)
        entry.allowed = "1";
    list.Find("cmbOsc1Shape")->allowed = "01110";
    const std::string existing = "\xEF\xBB\xBF; my family\r\n"
                                 "[Parameters]\r\n"
                                 "  CMBOSC1SHAPE = 00000\r\n"
                                 "odd line\r\n"
                                 "knobFromAnotherVersion=101\r\n"
                                 "cmbOsc1Shape=11111\r\n"
                                 "\r\n"
                                 "[Notes]\r\n"
                                 "cmbOsc1Shape=kept\r\n"
                                 "author=me";
    const std::string text = SchemaFileText(existing, list);

    std::string missing;
    for (const SchemaEntry& entry : list)
        if (entry.row != 0)
            missing += EntryLine(entry.Binding().key, "1") + "\r\n";
    const std::string expected = "\xEF\xBB\xBF; my family\r\n"
                                 "[Parameters]\r\n" +
                                 EntryLine("cmbOsc1Shape", "01110") +
                                 "\r\n"
                                 "odd line\r\n"
                                 "knobFromAnotherVersion=101\r\n"
                                 "cmbOsc1Shape=11111\r\n" +
                                 missing +
                                 "\r\n"
                                 "[Notes]\r\n"
                                 "cmbOsc1Shape=kept\r\n"
                                 "author=me";
    EXPECT_EQ(text, expected);
    EXPECT_EQ(SchemaFileText(text, list), text) << "saving again changes nothing";
}

TEST(SchemaText, AFileWithoutTheSectionGetsItAtTheEnd) {
    SchemaList list;
    for (SchemaEntry& entry : list)
        entry.allowed = "0";
    const std::string text = SchemaFileText("[Other]\nx=1", list);
    ASSERT_TRUE(
        text.starts_with("[Other]\nx=1\n\n[Parameters]\n" + EntryLine("cmbOsc1Shape", "0") + "\n"));
    EXPECT_EQ(ReadSchemaText(text).Find("SldSeq416")->allowed, "0");
    EXPECT_TRUE(SchemaFileText("\xEF\xBB\xBF", list).starts_with("\xEF\xBB\xBF[Parameters]"));
}
