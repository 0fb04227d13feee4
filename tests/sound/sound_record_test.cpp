#include "sound_record.h"

#include <gtest/gtest.h>

namespace {

TSoundRecord WithNameBytes(std::initializer_list<int> bytes) {
    TSoundRecord record;
    int i = 0;
    for (int byte : bytes)
        record[SoundLayout::NameOffset + i++] = static_cast<std::uint8_t>(byte);
    return record;
}

TEST(SoundName, ShortNameIsPaddedAndReadsBackWithItsSpaces) {
    TSoundRecord record;
    SetSoundName(record, "empty");
    EXPECT_EQ(GetSoundName(record), "empty           ");
    EXPECT_EQ(record[190], 'e');
    EXPECT_EQ(record[205], ' ');
    EXPECT_EQ(record[189], 0) << "the byte before the name is untouched";
    EXPECT_EQ(record[206], 0) << "the byte after the name is untouched";
}

TEST(SoundName, LongNameIsCutAtSixteen) {
    TSoundRecord record;
    SetSoundName(record, "0123456789abcdefXYZ");
    EXPECT_EQ(GetSoundName(record), "0123456789abcdef");
    EXPECT_EQ(record[206], 0);
}

TEST(SoundName, ControlBytesAreDroppedNotReplaced) {
    const auto record = WithNameBytes(
        {'A', 'B', 0x00, 'C', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '});
    EXPECT_EQ(GetSoundName(record), "ABC            ");
    EXPECT_EQ(GetSoundName(record).size(), 15u);
    EXPECT_EQ(GetSoundName(WithNameBytes({31, 'x', 0x1F, 10})), "x")
        << "zero bytes after the name are dropped too";
}

TEST(SoundName, HighBytesAreKept) {
    const auto record = WithNameBytes({0x80, 0xE9, 0xFF, 'a'});
    const std::string name = GetSoundName(record);
    ASSERT_EQ(name.size(), 4u);
    EXPECT_EQ(static_cast<std::uint8_t>(name[0]), 0x80);
    EXPECT_EQ(static_cast<std::uint8_t>(name[2]), 0xFF);
    EXPECT_EQ(NameToUtf8(name), "\u20AC\u00E9\u00FF"
                                "a");
}

TEST(SoundName, Cp1252RoundTripsEveryByte) {
    for (int byte = 0; byte < 256; ++byte)
        EXPECT_EQ(UnicodeToCp1252(Cp1252ToUnicode(static_cast<std::uint8_t>(byte))), byte);
    EXPECT_EQ(UnicodeToCp1252(U'\u2014'), 0x97);
    EXPECT_EQ(UnicodeToCp1252(U'\u4E2D'), '?');
}

TEST(Slots, CaptionsAndNumbering) {
    EXPECT_EQ(Slots::Caption(0), "A001");
    EXPECT_EQ(Slots::Caption(127), "A128");
    EXPECT_EQ(Slots::Caption(128), "B001");
    EXPECT_EQ(Slots::Caption(255), "B128");
    EXPECT_EQ(Slots::Caption(256), "C001");
    EXPECT_EQ(Slots::Caption(383), "C128");
    EXPECT_EQ(Slots::BankOf(255), 1);
    EXPECT_EQ(Slots::ProgramOf(255), 127);
    EXPECT_EQ(Slots::Of(1, 9), 137);
}

TEST(Slots, CaptionParsingRoundTripsAndRejectsNonsense) {
    for (int slot = 0; slot < Slots::Count; ++slot)
        ASSERT_EQ(Slots::FromCaption(Slots::Caption(slot)), slot);
    for (const char* bad : {"", "A000", "A129", "D001", "a001", "B01", "B0100", "B0x1"})
        EXPECT_EQ(Slots::FromCaption(bad), -1) << bad;
}

TEST(SoundRecord, IsCopiedByValue) {
    TSoundRecord original;
    SetSoundName(original, "Bass");
    TSoundRecord copy = original;
    SetSoundName(copy, "Lead");
    EXPECT_EQ(GetSoundName(original), "Bass            ");
    EXPECT_NE(copy, original);
}

} // namespace

TEST(SoundName, TextFieldUnitsRoundTripAndUnknownOnesBecomeQuestionMarks) {
    EXPECT_EQ(NameToUtf16("Caf\xE9 \x80"), u"Caf\u00E9 \u20AC");
    EXPECT_EQ(Utf16ToName(u"Caf\u00E9 \u20AC"), "Caf\xE9 \x80");
    EXPECT_EQ(Utf16ToName(u"\u4E2D\U0001F3B9"), "???"); // the keyboard emoji is two units
}
