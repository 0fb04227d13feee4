#pragma once

#include "sound_record.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Bank files (.syx): program-dump messages of 300 bytes one after the other,
// each naming the slot it belongs to by its bank and program bytes. No file
// header, no trailer. Only bytes here; reading and writing files is the
// caller's job.
//
// A file is read by messages, from each F0 to the last F7 before the next F0,
// so one damaged message costs one record and the records after it still
// load. Bytes outside any message form a record of their own that is
// reported.

inline constexpr std::size_t BankFileRecordSize = 300;

struct BankFileRecord {
    int slot = 0;
    TSoundRecord record;
};

struct BankFileContents {
    // The records that name a slot, in file order; a later one for the same
    // slot wins when they are stored.
    std::vector<BankFileRecord> records;
    // One full English sentence per record left out, naming the file and the
    // record's position.
    std::vector<std::string> problems;
    // One sentence per record that loaded but is worth a word: a program dump
    // of another instrument of the same maker.
    std::vector<std::string> notes;
    // Messages from F0 to F7 in the file, whether or not they were usable.
    std::size_t completeRecords = 0;
    // Records of any kind: every one is either loaded or a problem.
    std::size_t parts = 0;
};

// Reads the file message by message. A message loads when it is a program
// dump of this maker (F0 01 xx 02), 300 bytes long, holds no status byte
// (80 or more) between its F0 and F7, and names a slot; every other message,
// and any bytes outside a message, are left out with a problem. A family
// byte other than the Mopho's 25 loads with a note. Every record keeps the
// header it came with.
BankFileContents ParseBankFile(std::span<const std::uint8_t> bytes, std::string_view fileName);

// A sentence when the file's last message has no final F7, so that sending
// the file would glue it to whatever message follows; nothing for an empty
// file or one that ends with F7.
std::optional<std::string> UnfinishedLastMessageProblem(std::span<const std::uint8_t> bytes,
                                                        std::string_view fileName);

// One 300-byte program dump for the slot, its header written for that slot.
std::vector<std::uint8_t> BankFileRecordBytes(int slot, const TSoundRecord& record);

// The records in the given order, each written for its own slot. Throws
// std::out_of_range for a slot outside 0..383.
std::vector<std::uint8_t> BankFileBytes(std::span<const BankFileRecord> records);
std::vector<std::uint8_t> BankFileBytes(std::span<const std::pair<int, TSoundRecord>> records);

// All 384 slots in slot order, as the autoload file holds them.
std::vector<std::uint8_t> BankFileBytes(std::span<const TSoundRecord, Slots::Count> banks);

// The name of the one-record file for a row (0-based) when the user chose
// `chosen`: x.syx and row 383 give x.syx384.syx.
std::string SeparateFileName(std::string_view chosen, int row);
