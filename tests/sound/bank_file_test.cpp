#include "bank_file.h"
#include "sysex_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A record whose parameters 0..223 depend on the seed; 224..248 stay 0 as a
// file carries them. The header is stale on purpose.
TSoundRecord SoundFor(int seed) {
    TSoundRecord record;
    record[3] = 0x03;
    for (int p = 0; p < SoundLayout::SentParameterCount; ++p)
        record[SoundLayout::ParameterByte(p)] = static_cast<std::uint8_t>(seed * 7 + p * 13);
    SetSoundName(record, "Sound " + std::to_string(seed));
    record[255] = 0xF7;
    return record;
}

// Compares what a file can carry: parameters 0..223 and the end byte.
bool SameSound(const TSoundRecord& a, const TSoundRecord& b) {
    return std::equal(a.Bytes.begin() + 6, a.Bytes.end(), b.Bytes.begin() + 6);
}

TEST(BankFile, AllSlotsSavedAndParsedBackLandInTheirSlots) {
    std::array<TSoundRecord, Slots::Count> banks;
    for (int slot = 0; slot < Slots::Count; ++slot)
        banks[static_cast<std::size_t>(slot)] = SoundFor(slot);
    std::swap(banks[0], banks[300]); // moved sounds keep their stale headers
    const Bytes file = BankFileBytes(banks);
    ASSERT_EQ(file.size(), 115200u);

    const BankFileContents contents = ParseBankFile(file, "all.syx");
    EXPECT_TRUE(contents.problems.empty());
    EXPECT_EQ(contents.completeBlocks, 384u);
    ASSERT_EQ(contents.records.size(), 384u);
    for (int slot = 0; slot < Slots::Count; ++slot) {
        const auto& [fileSlot, record] = contents.records[static_cast<std::size_t>(slot)];
        EXPECT_EQ(fileSlot, slot);
        EXPECT_TRUE(SameSound(record, banks[static_cast<std::size_t>(slot)])) << "slot " << slot;
        EXPECT_EQ(record[3], 0x02);
        EXPECT_EQ(record[4], Slots::BankOf(slot));
        EXPECT_EQ(record[5], Slots::ProgramOf(slot));
    }
}

TEST(BankFile, RecordsAreWrittenInTheGivenOrderWithTheirOwnSlotHeaders) {
    const std::vector<std::pair<int, TSoundRecord>> chosen{{4, SoundFor(1)}, {137, SoundFor(2)}};
    const Bytes file = BankFileBytes(chosen);
    ASSERT_EQ(file.size(), 600u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 6), (Bytes{0xF0, 0x01, 0x25, 0x02, 0x00, 0x04}));
    EXPECT_EQ(Bytes(file.begin() + 300, file.begin() + 306),
              (Bytes{0xF0, 0x01, 0x25, 0x02, 0x01, 0x09}));

    const auto contents = ParseBankFile(file, "two.syx");
    ASSERT_EQ(contents.records.size(), 2u);
    EXPECT_EQ(contents.records[0].slot, 4);
    EXPECT_EQ(contents.records[1].slot, 137);
    EXPECT_TRUE(SameSound(contents.records[1].record, SoundFor(2)));
    EXPECT_EQ(GetSoundName(contents.records[1].record), "Sound 2         ");
}

TEST(BankFile, WritingASlotOutsideTheBanksThrows) {
    const std::vector<BankFileRecord> records{{384, SoundFor(1)}};
    EXPECT_THROW(BankFileBytes(records), std::out_of_range);
}

TEST(BankFile, RecordsKeepTheHeaderTheyCameWithAndMakerIsNotChecked) {
    Bytes file = BankFileRecordBytes(10, SoundFor(3));
    file[1] = 0x7D; // a sibling model's maker and device bytes still load
    file[2] = 0x2C;
    const auto contents = ParseBankFile(file, "other.syx");
    ASSERT_EQ(contents.records.size(), 1u);
    EXPECT_TRUE(contents.problems.empty());
    EXPECT_EQ(contents.records[0].record[1], 0x7D);
    EXPECT_EQ(contents.records[0].record[2], 0x2C);
}

TEST(BankFile, EmptyFileHoldsNothingAndNoProblem) {
    const auto contents = ParseBankFile({}, "empty.syx");
    EXPECT_TRUE(contents.records.empty());
    EXPECT_TRUE(contents.problems.empty());
    EXPECT_EQ(contents.completeBlocks, 0u);
}

TEST(BankFile, TruncatedFinalBlockIsIgnoredAndReported) {
    Bytes file = BankFileRecordBytes(0, SoundFor(1));
    const Bytes second = BankFileRecordBytes(1, SoundFor(2));
    file.insert(file.end(), second.begin(), second.begin() + 120);
    const auto contents = ParseBankFile(file, "cut.syx");
    ASSERT_EQ(contents.records.size(), 1u);
    EXPECT_EQ(contents.records[0].slot, 0);
    EXPECT_EQ(contents.completeBlocks, 1u);
    ASSERT_EQ(contents.problems.size(), 1u);
    EXPECT_EQ(contents.problems[0],
              "The last 120 bytes of \"cut.syx\" are an incomplete record and were ignored.");
}

TEST(BankFile, RecordNamingNoSlotIsSkippedAndTheOthersLoad) {
    Bytes file = BankFileRecordBytes(0, SoundFor(1));
    Bytes bad = BankFileRecordBytes(5, SoundFor(2));
    bad[4] = 5;
    Bytes spill = BankFileRecordBytes(6, SoundFor(3));
    spill[5] = 0xC8; // program 200 in bank A would land in bank B
    Bytes last = BankFileRecordBytes(383, SoundFor(4));
    for (const Bytes* part : {&bad, &spill, &last})
        file.insert(file.end(), part->begin(), part->end());

    const auto contents = ParseBankFile(file, "odd.syx");
    ASSERT_EQ(contents.records.size(), 2u);
    EXPECT_EQ(contents.records[0].slot, 0);
    EXPECT_EQ(contents.records[1].slot, 383);
    EXPECT_EQ(contents.completeBlocks, 4u);
    ASSERT_EQ(contents.problems.size(), 2u);
    EXPECT_EQ(contents.problems[0],
              "Record 2 of \"odd.syx\" names bank 5, program 5, which is no slot, and was not "
              "loaded.");
    EXPECT_NE(contents.problems[1].find("Record 3 of \"odd.syx\""), std::string::npos);
}

TEST(BankFile, BlockThatIsNoProgramDumpChangesNoSlot) {
    Bytes file(300, 0x41); // text or another file chosen by mistake
    const Bytes good = BankFileRecordBytes(7, SoundFor(1));
    file.insert(file.end(), good.begin(), good.end());
    Bytes noEnd = good;
    noEnd[299] = 0x00;
    file.insert(file.end(), noEnd.begin(), noEnd.end());

    const auto contents = ParseBankFile(file, "text.syx");
    ASSERT_EQ(contents.records.size(), 1u);
    EXPECT_EQ(contents.records[0].slot, 7);
    ASSERT_EQ(contents.problems.size(), 2u);
    EXPECT_EQ(contents.problems[0], "Record 1 of \"text.syx\" is not a program dump (it does not "
                                    "begin with F0 and end with F7) and was not loaded.");
    EXPECT_NE(contents.problems[1].find("Record 3 of"), std::string::npos);
}

TEST(BankFile, SeparateFileNameAppendsTheRowNumber) {
    EXPECT_EQ(SeparateFileName("x.syx", 383), "x.syx384.syx");
    EXPECT_EQ(SeparateFileName("/tmp/mybank.syx", 11), "/tmp/mybank.syx12.syx");
    EXPECT_EQ(SeparateFileName("b", 0), "b1.syx");
}

} // namespace
