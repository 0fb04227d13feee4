#pragma once

#include "sound_record.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Bank files (.syx): program-dump messages of 300 bytes one after the other,
// each naming the slot it belongs to by its bank and program bytes. No file
// header, no trailer. Only bytes here; reading and writing files is the
// caller's job.

inline constexpr std::size_t BankFileRecordSize = 300;

struct BankFileRecord {
    int slot = 0;
    TSoundRecord record;
};

struct BankFileContents {
    // The records that name a slot, in file order; a later one for the same
    // slot wins when they are stored.
    std::vector<BankFileRecord> records;
    // One full English sentence per problem, naming the file.
    std::vector<std::string> problems;
    // 300-byte blocks in the file, whether or not they were usable.
    std::size_t completeBlocks = 0;
};

// Reads every 300-byte block as a program dump. A block that does not begin
// with F0 and end with F7, and a record whose bank and program bytes name no
// slot, are left out with a problem; a short final block is ignored with a
// problem. The maker and device bytes are not checked, and every record keeps
// the header it came with.
BankFileContents ParseBankFile(std::span<const std::uint8_t> bytes, std::string_view fileName);

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
