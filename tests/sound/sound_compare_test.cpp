#include "sound_compare.h"
#include "support/sound_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using sound_builder::SoundWith;

constexpr int Osc1Frequency = 0;
constexpr int Osc1Fine = 1;
constexpr int Osc1Shape = 2;
constexpr int FilterPoles = 24;
constexpr int Lfo1Frequency = 41;
constexpr int Lfo1Shape = 42;
constexpr int Mod1Source = 70;
constexpr int FirstUnused = 109;
constexpr int FirstStep = 120;
constexpr int SentParameters = 224;

TSoundRecord Sound(std::string_view name) {
    return SoundWith(name, {{Osc1Frequency, 60}, {Osc1Fine, 50}});
}

void Set(TSoundRecord& sound, int parameter, std::uint8_t byte) {
    sound[SoundLayout::ParameterByte(parameter)] = byte;
}

} // namespace

TEST(SoundCompare, ListsTheDifferencesAsTheEditorShowsThem) {
    TSoundRecord first = Sound("Warm Bass");
    TSoundRecord second = Sound("Warm Bass 2");
    Set(second, Osc1Frequency, 62); // a note knob
    Set(first, Lfo1Shape, 1);       // a list
    Set(second, Lfo1Shape, 4);

    const std::vector<ParameterComparison> rows = CompareSounds(first, second);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].name, "Oscillator 1 Frequency");
    EXPECT_EQ(rows[0].first, "C5");
    EXPECT_EQ(rows[0].second, "D5");
    EXPECT_EQ(rows[1].name, "LFO 1 Shape");
    EXPECT_EQ(rows[1].first, "Reverse Sawtooth");
    EXPECT_EQ(rows[1].second, "Random");
    EXPECT_EQ(rows[2].name, "Name");
    EXPECT_EQ(rows[2].first, "Warm Bass");
    EXPECT_EQ(rows[2].second, "Warm Bass 2");
    for (const ParameterComparison& row : rows)
        EXPECT_TRUE(row.differs) << row.name;
    EXPECT_EQ(DifferenceCount(first, second), 3);
    EXPECT_EQ(DifferenceCount(first, first), 0);
}

TEST(SoundCompare, AllRowsWhenAskedAndTheUnusedLeftOut) {
    const TSoundRecord sound = Sound("Same");
    const std::vector<ParameterComparison> rows = CompareSounds(sound, sound, false);
    // 0..183 without the eleven unused, then the name.
    ASSERT_EQ(rows.size(), 184u - 11u + 1u);
    for (const ParameterComparison& row : rows) {
        EXPECT_FALSE(row.differs) << row.name;
        EXPECT_EQ(row.first, row.second) << row.name;
        EXPECT_EQ(row.name.find("Unused"), std::string::npos);
        EXPECT_FALSE(row.name.empty());
        EXPECT_NE(row.name.front(), ' ') << row.name;
    }
    EXPECT_EQ(rows[FirstUnused].name, "Sequence Track1, step 1");
    EXPECT_TRUE(CompareSounds(sound, sound, true).empty());
}

TEST(SoundCompare, ValueTexts) {
    struct Case {
        int parameter;
        std::uint8_t byte;
        std::string text;
    };
    const std::vector<Case> cases = {
        {Osc1Fine, 50, "0"}, // the offset applied
        {Osc1Fine, 45, "-5"},
        {Osc1Shape, 1, "Sawtooth"},
        {Osc1Shape, 30, "Pulse Wave, Pulse width 26"},
        {FilterPoles, 1, "On"},
        {FilterPoles, 0, "Off"},
        {Lfo1Frequency, 100, "100"},
        {Lfo1Frequency, 155, "DIV 4"}, // an LFO sync name
        {Lfo1Shape, 9, "(none)"},      // no item for the byte
        {Mod1Source, 0, "Off"},
        {Osc1Frequency, 200, "(byte 200)"}, // the knob refuses it
        {FirstStep, 64, "64"},
    };
    for (const Case& c : cases) {
        TSoundRecord sound;
        Set(sound, c.parameter, c.byte);
        EXPECT_EQ(ParameterText(sound, c.parameter), c.text)
            << ParameterTitle(c.parameter) << " at " << int(c.byte);
    }
}

TEST(SoundCompare, BytesThatLookAlikeStillDifferAndSayHow) {
    TSoundRecord first = Sound("A");
    TSoundRecord second = first;
    Set(first, FilterPoles, 0);
    Set(second, FilterPoles, 2); // shown as off too
    const auto rows = CompareSounds(first, second);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].first, "Off (byte 0)");
    EXPECT_EQ(rows[0].second, "Off (byte 2)");
}

TEST(SoundCompare, SentParametersIgnoreTheHeaderAndTheRest) {
    const TSoundRecord first = Sound("Lead");
    TSoundRecord second = first;
    second[SoundLayout::BankByte] = 2;
    second[SoundLayout::ParameterByte(SentParameters)] = 9; // never leaves the program
    EXPECT_TRUE(SameSentParameters(first, second));
    Set(second, SentParameters - 1, 1);
    EXPECT_FALSE(SameSentParameters(first, second));
}
