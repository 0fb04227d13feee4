#include "parameter_list.h"
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

std::vector<std::size_t> CheckedRows(const AllowedValueChecks& checks) {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < checks.size(); ++row)
        if (checks.IsChecked(row))
            rows.push_back(row);
    return rows;
}

} // namespace

TEST(ParameterList, RowsNameEachValueOfTheControl) {
    struct Case {
        std::string_view member;
        bool noteNames;
        std::size_t row;
        std::string text;
        std::size_t rows;
    };
    const Case cases[] = {
        {"knobOsc1Frequency", false, 60, "60 C5", 121},
        {"KnobLFO1Frequency", false, 12, "12 12", 167},
        {"KnobLFO1Frequency", false, 151, "151 DIV 32", 167},
        {"KnobFilterEnvAmount", false, 0, "-127", 255},
        {"KnobBPMTempo", false, 0, "30", 221},
        {"SldSeq101", true, 60, "60 C 5", 128},
        {"SldSeq101", true, 11, "11 H 0", 128},
        {"SldSeq201", false, 60, "60", 126},
        {"CheckLedFilterPoles", false, 0, "Off", 2},
        {"CheckLedFilterPoles", false, 1, "On", 2},
        {"cmbOsc1Shape", false, 4, ListItems(ValueList::OscillatorShape)[4], 5},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> rows = ParameterListRows(Row(c.member), c.noteNames);
        ASSERT_EQ(rows.size(), c.rows) << c.member;
        EXPECT_EQ(rows[c.row], c.text) << c.member;
    }
}

TEST(ParameterList, TheWindowCaptionNamesAKnobsOrLedsCaption) {
    EXPECT_EQ(ParameterListWindowCaption(Row("knobOsc1Frequency"), 60), "Parameter List View (C5)");
    EXPECT_EQ(ParameterListWindowCaption(Row("KnobLFO1Frequency"), 151),
              "Parameter List View (DIV 32)");
    EXPECT_EQ(ParameterListWindowCaption(Row("CheckLedFilterPoles"), 1),
              "Parameter List View (4-pole)");
    EXPECT_EQ(ParameterListWindowCaption(Row("cmbOsc1Shape"), 1), "Parameter List View");
    EXPECT_EQ(ParameterListWindowCaption(Row("SldSeq101"), 1), "Parameter List View");
}

TEST(ParameterList, ChecksFollowTheAllowedString) {
    struct Case {
        std::string_view member;
        std::string allowed;
        std::vector<std::size_t> checked;
    };
    const Case cases[] = {
        {"cmbMod1Destination", "0", {}},
        {"SldSeq101", "0", {}},
        {"SldSeq101", "0120", {1, 2}},      // anything but "0" checks
        {"knobSubOsc1Level", "0", {64}},    // the middle value the randomizer would give
        {"KnobFilterEnvAmount", "", {127}}, // -127..127: value 0
        {"knobSubOsc1Level", "0010", {2}},  // a "1" anywhere: no middle row
        {"CheckLedFilterPoles", "01", {1}},
        {"CheckLedFilterPoles", "111111", {0, 1}}, // characters beyond the rows are ignored
        {"cmbOsc1Shape", "01110", {1, 2, 3}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckedRows(AllowedValueChecks(Row(c.member), c.allowed)), c.checked)
            << c.member << " " << c.allowed;

    const AllowedValueChecks list(Row("cmbMod1Destination"), "0");
    EXPECT_EQ(list.Result(), std::string(47, '0'));
}

TEST(ParameterList, SelectButtonsCheckRangesAndInvert) {
    AllowedValueChecks checks(Row("cmbOsc1Shape"), "01000");
    checks.SelectTo(std::nullopt);
    checks.SelectFrom(std::nullopt);
    EXPECT_EQ(checks.Result(), "01000") << "no current row: nothing happens";
    checks.SelectTo(2);
    EXPECT_EQ(checks.Result(), "11100");
    checks.Invert();
    EXPECT_EQ(checks.Result(), "00011");
    checks.SetChecked(4, false);
    checks.SelectFrom(3);
    EXPECT_EQ(checks.Result(), "00011");
    checks.SelectFrom(1);
    EXPECT_EQ(checks.Result(), "01111");
    checks.SelectAll();
    EXPECT_EQ(checks.Result(), "11111");
}

TEST(ParameterList, SelectSetsTheRangeByTheScale) {
    AllowedValueChecks steps(Row("SldSeq101"), "0");
    steps.SetChecked(40, true);    // inside the range: the scale decides
    steps.SetChecked(100, true);   // outside: kept
    steps.SelectScale(36, 48, 11); // C3 .. C4, "5th interval"
    EXPECT_EQ(CheckedRows(steps), (std::vector<std::size_t>{36, 43, 48, 100}));

    const std::string before = steps.Result();
    steps.SelectScale(48, 36, 0);
    EXPECT_EQ(steps.Result(), before) << "to before from does nothing";

    AllowedValueChecks shapes(Row("cmbOsc1Shape"), "0");
    shapes.SelectScale(DefaultFromRow, DefaultToRow, 1); // Ionian over 0..119
    EXPECT_EQ(shapes.Result(), "10101");
}

TEST(ParameterList, StepOneGivesItsStringToItsTrackOnly) {
    EXPECT_EQ(TrackOfStepOne(BindingIndex("SldSeq301")), 3);
    EXPECT_EQ(TrackOfStepOne(BindingIndex("SldSeq101")), 1);
    EXPECT_EQ(TrackOfStepOne(BindingIndex("SldSeq302")), std::nullopt);
    EXPECT_EQ(TrackOfStepOne(BindingIndex("knobOsc1Frequency")), std::nullopt);

    SchemaList list = ReadSchemaText({});
    list.Find("SldSeq301")->allowed = "0101";
    list.Find("SldSeq201")->allowed = "11";
    ApplyStepOneToTrack(list, 3);
    for (const SchemaEntry& entry : list) {
        const std::string_view member = entry.Binding().key;
        const bool trackThree = member.starts_with("SldSeq3");
        const bool otherStepOne = member == "SldSeq201";
        EXPECT_EQ(entry.allowed, trackThree ? "0101" : otherStepOne ? "11" : "0") << member;
    }
}
