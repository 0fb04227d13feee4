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
    EXPECT_EQ(contents.completeRecords, 384u);
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

TEST(BankFile, ADumpOfAnotherInstrumentOfTheMakerLoadsWithANoteAndKeepsItsHeader) {
    Bytes file = BankFileRecordBytes(10, SoundFor(3));
    file[2] = 0x27; // the family byte of a sibling model
    const auto contents = ParseBankFile(file, "other.syx");
    ASSERT_EQ(contents.records.size(), 1u);
    EXPECT_TRUE(contents.problems.empty());
    EXPECT_EQ(contents.records[0].slot, 10);
    EXPECT_EQ(contents.records[0].record[2], 0x27);
    ASSERT_EQ(contents.notes.size(), 1u);
    EXPECT_EQ(contents.notes[0], "Record 1 of \"other.syx\" is a program dump of another "
                                 "instrument of this maker (family byte 27, where the Mopho's is "
                                 "25) and was loaded as a Mopho sound.");
}

TEST(BankFile, EmptyFileHoldsNothingAndNoProblem) {
    const auto contents = ParseBankFile({}, "empty.syx");
    EXPECT_TRUE(contents.records.empty());
    EXPECT_TRUE(contents.problems.empty());
    EXPECT_EQ(contents.completeRecords, 0u);
}

TEST(BankFile, TruncatedFinalBlockIsIgnoredAndReported) {
    Bytes file = BankFileRecordBytes(0, SoundFor(1));
    const Bytes second = BankFileRecordBytes(1, SoundFor(2));
    file.insert(file.end(), second.begin(), second.begin() + 120);
    const auto contents = ParseBankFile(file, "cut.syx");
    ASSERT_EQ(contents.records.size(), 1u);
    EXPECT_EQ(contents.records[0].slot, 0);
    EXPECT_EQ(contents.completeRecords, 1u);
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
    EXPECT_EQ(contents.completeRecords, 4u);
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
    EXPECT_EQ(contents.problems[1], "The last 300 bytes of \"text.syx\" are an incomplete record "
                                    "and were ignored.");
}

// A program dump written from the file layout, not by the program's codec:
// F0 01 25 02, bank, program, 293 packed bytes (a flag byte of 00 before
// every seven data bytes), F7.
Bytes Dump(std::uint8_t bank, std::uint8_t program) {
    Bytes bytes{0xF0, 0x01, 0x25, 0x02, bank, program};
    for (int i = 0; i < 293; ++i)
        bytes.push_back(i % 8 == 0 ? 0x00 : static_cast<std::uint8_t>((program + i) & 0x7F));
    bytes.push_back(0xF7);
    return bytes;
}

Bytes With(Bytes bytes, std::size_t at, std::uint8_t value) {
    bytes[at] = value;
    return bytes;
}

Bytes Without(Bytes bytes, std::size_t at) {
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return bytes;
}

Bytes Inserted(Bytes bytes, std::size_t at, std::uint8_t value) {
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), value);
    return bytes;
}

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct HostileFile {
    const char* layout;
    Bytes bytes;
    std::vector<int> loadedSlots;
    std::vector<std::string> problems;
};

std::vector<HostileFile> HostileFiles() {
    const std::string notLoaded = " and was not loaded.";
    return {
        {"another maker",
         Joined({Dump(0, 0), With(Dump(0, 1), 1, 0x42), Dump(0, 2)}),
         {0, 2},
         {"Record 2 of \"t.syx\" is not a program dump of this maker (it begins F0 42 25 02, "
          "where a program dump begins F0 01 25 02)" +
          notLoaded}},
        {"command byte 03",
         Joined({Dump(0, 0), With(Dump(0, 1), 3, 0x03), Dump(0, 2)}),
         {0, 2},
         {"Record 2 of \"t.syx\" is not a program dump of this maker (it begins F0 01 25 03, "
          "where a program dump begins F0 01 25 02)" +
          notLoaded}},
        {"a message of two bytes",
         Joined({Bytes{0xF0, 0xF7}, Dump(0, 2)}),
         {2},
         {"Record 1 of \"t.syx\" is not a program dump of this maker (it begins F0 F7, where a "
          "program dump begins F0 01 25 02)" +
          notLoaded}},
        {"another family", Joined({Dump(0, 0), With(Dump(0, 1), 2, 0x27)}), {0, 1}, {}},
        {"status byte inside the data",
         Joined({With(Dump(0, 1), 150, 0x85), Dump(0, 2)}),
         {2},
         {"Record 1 of \"t.syx\" holds the status byte 85 inside its data, at byte 150 of the "
          "record," +
          notLoaded}},
        {"F7 inside the data",
         Joined({With(Dump(0, 1), 100, 0xF7), Dump(0, 2), Dump(0, 3)}),
         {2, 3},
         {"Record 1 of \"t.syx\" holds the status byte F7 inside its data, at byte 100 of the "
          "record," +
          notLoaded}},
        {"299-byte record",
         Joined({Dump(0, 0), Without(Dump(0, 1), 200), Dump(0, 2), Dump(0, 3)}),
         {0, 2, 3},
         {"Record 2 of \"t.syx\" is 299 bytes long, not the 300 of a program dump," + notLoaded}},
        {"301-byte record",
         Joined({Inserted(Dump(1, 1), 7, 0x11), Dump(1, 2), Dump(1, 3)}),
         {130, 131},
         {"Record 1 of \"t.syx\" is 301 bytes long, not the 300 of a program dump," + notLoaded}},
        {"no F7 before the next record",
         Joined({Without(Dump(2, 0), 299), Dump(2, 1)}),
         {257},
         {"Record 1 of \"t.syx\" is not a program dump (it does not begin with F0 and end with "
          "F7)" +
          notLoaded}},
        {"two records cut short in a row",
         Joined({Without(Dump(2, 0), 299), Without(Dump(2, 1), 299), Dump(2, 2)}),
         {258},
         {"Record 1 of \"t.syx\" is not a program dump (it does not begin with F0 and end with "
          "F7)" +
          notLoaded}},
        {"no final F7",
         Joined({Dump(0, 0), Without(Dump(0, 1), 299)}),
         {0},
         {"The last 299 bytes of \"t.syx\" are an incomplete record and were ignored."}},
        {"one byte left over",
         Joined({Dump(0, 0), Bytes{0xF0}}),
         {0},
         {"The last byte of \"t.syx\" is an incomplete record and was ignored."}},
        {"bytes before the first message",
         Joined({Bytes{'h', 'i', 0xF7}, Dump(0, 5)}),
         {5},
         {"Record 1 of \"t.syx\" is not a program dump (it does not begin with F0 and end with "
          "F7)" +
          notLoaded}},
        {"empty file", {}, {}, {}},
    };
}

TEST(BankFile, HostileLayoutsCostOnlyTheirOwnRecord) {
    for (const HostileFile& file : HostileFiles()) {
        SCOPED_TRACE(file.layout);
        const BankFileContents contents = ParseBankFile(file.bytes, "t.syx");
        std::vector<int> slots;
        for (const auto& placed : contents.records) {
            slots.push_back(placed.slot);
            // Data bytes arrive as the file holds them: parameter 0 is byte 7.
            EXPECT_EQ(placed.record[SoundLayout::ParameterByte(0)], (placed.slot % 128 + 1) & 0x7F);
        }
        EXPECT_EQ(slots, file.loadedSlots);
        EXPECT_EQ(contents.problems, file.problems);
    }
}

TEST(BankFile, ALastMessageWithoutF7IsNamedAsUnfinished) {
    EXPECT_EQ(UnfinishedLastMessageProblem(Without(Dump(0, 0), 299), "cut.syx"),
              "The file \"cut.syx\" does not end with F7: its last message is unfinished and "
              "would run into the next message the instrument receives.");
    EXPECT_EQ(UnfinishedLastMessageProblem(Dump(0, 0), "whole.syx"), std::nullopt);
    EXPECT_EQ(UnfinishedLastMessageProblem({}, "empty.syx"), std::nullopt);
}

TEST(BankFile, SeparateFileNameAppendsTheRowNumber) {
    EXPECT_EQ(SeparateFileName("x.syx", 383), "x.syx384.syx");
    EXPECT_EQ(SeparateFileName("/tmp/mybank.syx", 11), "/tmp/mybank.syx12.syx");
    EXPECT_EQ(SeparateFileName("b", 0), "b1.syx");
}

} // namespace
