#pragma once

#include "midi_output.h"
#include "sound_record.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The instrument's system-exclusive messages. The ...Message functions build
// the bytes; the Send/Request functions hand them to a MidiOutput.

// F0 01 25 02 bank program, the packed parameters 0..223, F7: 300 bytes.
// The header is written afresh, whatever the record's stored header holds.
std::vector<std::uint8_t> ProgramDumpMessage(const TSoundRecord& record, int bank, int program);
// F0 01 25 03, the packed parameters, F7: 298 bytes.
std::vector<std::uint8_t> EditBufferDumpMessage(const TSoundRecord& record);
// F0 01 25 05 bank program F7.
std::vector<std::uint8_t> ProgramDumpRequestMessage(int bank, int program);
// F0 01 25 06 F7.
std::vector<std::uint8_t> EditBufferRequestMessage();
// F0 01 25 0E F7.
std::vector<std::uint8_t> GlobalsRequestMessage();
// F0 7E 7F 06 01 F7: the universal device inquiry to all channels.
std::vector<std::uint8_t> DeviceInquiryMessage();

// The record as a program dump for the slot's bank and program.
MidiError SendProgramDump(MidiOutput& out, const TSoundRecord& record, int slot);
MidiError SendSoundAsProgram(MidiOutput& out, const TSoundRecord& record, int bank, int program);
MidiError SendEditBufferDump(MidiOutput& out, const TSoundRecord& record);
MidiError RequestProgramDump(MidiOutput& out, int bank, int program);
MidiError RequestEditBuffer(MidiOutput& out);
MidiError RequestGlobals(MidiOutput& out);
MidiError RequestDeviceInquiry(MidiOutput& out);

// The replies the program awaits, by their layouts.
enum class ReplyLayout { ProgramDump, EditBufferDump, GlobalsDump, DeviceInquiryReply };
// True when the message begins as a reply of that layout does: F0 01 25 02
// (program dump), F0 01 25 03 (edit buffer dump), F0 01 25 0F (global
// parameter dump), F0 7E, any channel, 06 02 (device inquiry reply). The
// instrument's own messages carry no device ID; the inquiry goes to all
// channels, so an answer on any channel is an answer to it.
bool BeginsAs(ReplyLayout layout, std::span<const std::uint8_t> message);

// The ten global parameters of a global parameter dump, each sent as a low
// then a high nibble from byte 4 on. Bytes missing from the reply read as 0.
inline constexpr int GlobalsCount = 10;
std::array<int, GlobalsCount> GlobalsFromDump(std::span<const std::uint8_t> reply);

// The software version a device inquiry reply carries in its byte 10.
struct DeviceVersion {
    int major = 0;
    int minor = 0;
    bool operator==(const DeviceVersion&) const = default;
};
DeviceVersion DeviceVersionFromReply(std::span<const std::uint8_t> reply);
// "1.2"
std::string DeviceVersionText(const DeviceVersion& version);
