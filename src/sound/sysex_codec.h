#pragma once

#include "sound_record.h"

#include <array>
#include <cstdint>
#include <span>

// Message sizes of the instrument's replies and dumps.
inline constexpr int ProgramDumpSize = 300;
inline constexpr int EditBufferDumpSize = 298;
inline constexpr int GlobalsDumpSize = 25;
inline constexpr int DeviceInquiryReplySize = 14;

// Header lengths: F0 01 25 02 bank program, and F0 01 25 03 for the edit buffer.
inline constexpr int ProgramDumpHeaderLength = 6;
inline constexpr int EditBufferHeaderLength = 4;

inline constexpr std::uint8_t SysExStart = 0xF0;
inline constexpr std::uint8_t SysExEnd = 0xF7;

// Packs the record into a 300-byte program-dump image: record bytes
// 0..headerLength-1 are copied, then 32 groups of eight bytes carry
// parameters 0..223 (a flag byte with the top bits, then seven 7-bit bytes),
// then zeros, and F7 at byte headerLength + 293. Header lengths outside
// 0..6 are clamped to that range.
std::array<std::uint8_t, ProgramDumpSize> PackProgramData(const TSoundRecord& record,
                                                          int headerLength);

// Unpacks a program dump (headerLength 6) or an edit-buffer dump
// (headerLength 4) into a record laid out as a program dump: parameters
// 0..248 at bytes 6..254 and F7 at byte 255. Positions beyond the message or
// beyond byte 299 read as 0, so any message, however short, is safe.
TSoundRecord UnpackProgramData(std::span<const std::uint8_t> message, int headerLength);
