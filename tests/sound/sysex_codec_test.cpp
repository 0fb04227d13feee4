#include "sysex_codec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every parameter 0..248 gets a distinct value, many of them 128 or above.
TSoundRecord VariedRecord() {
    TSoundRecord record;
    for (int p = 0; p < SoundLayout::ParameterCount; ++p)
        record[SoundLayout::ParameterByte(p)] = static_cast<std::uint8_t>(p * 37 + 11);
    const std::uint8_t header[] = {0xF0, 0x01, 0x25, 0x02, 0x01, 0x48};
    for (int i = 0; i < 6; ++i)
        record[i] = header[i];
    record[255] = 0xF7;
    return record;
}

TEST(PackProgramData, HighBitGoesIntoTheFlagByte) {
    TSoundRecord record;
    record[SoundLayout::ParameterByte(0)] = 0xA4;
    for (int p = 1; p <= 6; ++p)
        record[SoundLayout::ParameterByte(p)] = static_cast<std::uint8_t>(p * 10);
    const auto packed = PackProgramData(record, 6);
    const std::vector<std::uint8_t> group(packed.begin() + 6, packed.begin() + 14);
    EXPECT_EQ(group, (std::vector<std::uint8_t>{0x01, 0x24, 10, 20, 30, 40, 50, 60}));
}

TEST(PackProgramData, FlagBitsFollowTheBytePositions) {
    TSoundRecord record;
    record[SoundLayout::ParameterByte(7 + 2)] = 0x80; // group 1, third byte
    record[SoundLayout::ParameterByte(7 + 6)] = 0xFF; // group 1, seventh byte
    const auto packed = PackProgramData(record, 6);
    EXPECT_EQ(packed[6 + 8], 0b1000100);
    EXPECT_EQ(packed[6 + 8 + 3], 0x00);
    EXPECT_EQ(packed[6 + 8 + 7], 0x7F);
}

TEST(PackProgramData, CarriesOnlyParametersUpTo223AndEndsWithF7) {
    TSoundRecord record = VariedRecord();
    const auto packed = PackProgramData(record, 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(packed[static_cast<std::size_t>(i)], record[i]) << "header byte " << i;
    for (int i = 262; i < 299; ++i)
        EXPECT_EQ(packed[static_cast<std::size_t>(i)], 0) << "byte " << i;
    EXPECT_EQ(packed[299], 0xF7);
    for (std::size_t i = 6; i < 299; ++i)
        EXPECT_LT(packed[i], 0x80) << "every packed byte is a 7-bit data byte, byte " << i;
}

TEST(UnpackProgramData, RoundTripKeepsParameters0To223AndZeroesTheRest) {
    const TSoundRecord record = VariedRecord();
    const auto packed = PackProgramData(record, 6);
    const TSoundRecord back = UnpackProgramData(packed, 6);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(back[i], record[i]) << "header byte " << i;
    for (int p = 0; p < 224; ++p)
        EXPECT_EQ(back[SoundLayout::ParameterByte(p)], record[SoundLayout::ParameterByte(p)])
            << "parameter " << p;
    for (int p = 224; p < 249; ++p)
        EXPECT_EQ(back[SoundLayout::ParameterByte(p)], 0) << "parameter " << p;
    EXPECT_EQ(back[255], 0xF7);
}

TEST(UnpackProgramData, EditBufferDumpComesOutInProgramLayout) {
    TSoundRecord record = VariedRecord();
    auto packed = PackProgramData(record, 6);
    // An edit-buffer dump: the packed data moved two places down behind F0 01 25 03.
    std::vector<std::uint8_t> dump{0xF0, 0x01, 0x25, 0x03};
    dump.insert(dump.end(), packed.begin() + 6, packed.end());
    ASSERT_EQ(dump.size(), 298u);

    const TSoundRecord back = UnpackProgramData(dump, 4);
    const std::vector<std::uint8_t> header(back.Bytes.begin(), back.Bytes.begin() + 6);
    EXPECT_EQ(header, (std::vector<std::uint8_t>{0xF0, 0x01, 0x25, 0x03, 0x00, 0x00}));
    for (int p = 0; p < 224; ++p)
        EXPECT_EQ(back[SoundLayout::ParameterByte(p)], record[SoundLayout::ParameterByte(p)])
            << "parameter " << p;
    EXPECT_EQ(back[255], 0xF7);
}

TEST(UnpackProgramData, DataBeyondTheRecordIsDroppedAndParameters224UpAreKept) {
    // A dump from the instrument may carry values for parameters 224..248 in
    // groups 32..36; they are held in memory.
    std::vector<std::uint8_t> dump(300, 0x00);
    dump[0] = 0xF0;
    dump[299] = 0xF7;
    const int group32 = 6 + 8 * 32;
    dump[group32] = 0x01;
    dump[group32 + 1] = 0x05;        // data byte 224: parameter 224
    dump[6 + 8 * 35 + 1 + 4] = 0x33; // data byte 249 would land on byte 255
    const TSoundRecord record = UnpackProgramData(dump, 6);
    EXPECT_EQ(record[SoundLayout::ParameterByte(224)], 0x85);
    EXPECT_EQ(record[255], 0xF7) << "the end byte wins over data that reaches byte 255";
}

TEST(UnpackProgramData, ShortMessagesReadMissingPositionsAsZero) {
    const std::vector<std::uint8_t> few{0xF0, 0x01, 0x25, 0x02, 0x02, 0x10, 0x01, 0x11};
    const TSoundRecord record = UnpackProgramData(few, 6);
    EXPECT_EQ(record[5], 0x10);
    EXPECT_EQ(record[6], 0x91);
    for (int i = 7; i < 255; ++i)
        EXPECT_EQ(record[i], 0) << "byte " << i;
    EXPECT_EQ(record[255], 0xF7);

    const TSoundRecord empty = UnpackProgramData({}, 4);
    EXPECT_EQ(empty[255], 0xF7);
    EXPECT_EQ(empty[0], 0);
}

} // namespace
