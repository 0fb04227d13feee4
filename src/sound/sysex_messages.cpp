#include "sysex_messages.h"

#include "sysex_codec.h"

#include <algorithm>
#include <initializer_list>

namespace {

constexpr std::uint8_t DsiMaker = 0x01;
constexpr std::uint8_t MophoDevice = 0x25;

enum Command : std::uint8_t {
    ProgramDump = 0x02,
    EditBufferDump = 0x03,
    ProgramDumpRequest = 0x05,
    EditBufferRequest = 0x06,
    GlobalsRequest = 0x0E,
    GlobalsDump = 0x0F,
};

constexpr std::uint8_t UniversalNonRealTime = 0x7E;
constexpr std::uint8_t GeneralInformation = 0x06;
constexpr std::uint8_t IdentityReply = 0x02;

constexpr std::size_t GlobalsFirstByte = 4;
constexpr std::size_t VersionByte = 10;

std::uint8_t AsByte(int value) {
    return static_cast<std::uint8_t>(value);
}

std::uint8_t ByteAt(std::span<const std::uint8_t> reply, std::size_t position) {
    return position < reply.size() ? reply[position] : 0;
}

MidiError Send(MidiOutput& out, const std::vector<std::uint8_t>& message) {
    return out.SendLongMessage(message);
}

} // namespace

std::vector<std::uint8_t> ProgramDumpMessage(const TSoundRecord& record, int bank, int program) {
    const auto packed = PackProgramData(record, ProgramDumpHeaderLength);
    std::vector<std::uint8_t> message(packed.begin(), packed.end());
    message[0] = SysExStart;
    message[1] = DsiMaker;
    message[2] = MophoDevice;
    message[3] = ProgramDump;
    message[4] = AsByte(bank);
    message[5] = AsByte(program);
    return message;
}

std::vector<std::uint8_t> EditBufferDumpMessage(const TSoundRecord& record) {
    const auto packed = PackProgramData(record, ProgramDumpHeaderLength);
    std::vector<std::uint8_t> message(EditBufferDumpSize);
    message[0] = SysExStart;
    message[1] = DsiMaker;
    message[2] = MophoDevice;
    message[3] = EditBufferDump;
    // The packed bytes and F7 follow the four header bytes directly.
    std::copy(packed.begin() + ProgramDumpHeaderLength, packed.end(),
              message.begin() + EditBufferHeaderLength);
    return message;
}

std::vector<std::uint8_t> ProgramDumpRequestMessage(int bank, int program) {
    return {SysExStart,   DsiMaker,        MophoDevice, ProgramDumpRequest,
            AsByte(bank), AsByte(program), SysExEnd};
}

std::vector<std::uint8_t> EditBufferRequestMessage() {
    return {SysExStart, DsiMaker, MophoDevice, EditBufferRequest, SysExEnd};
}

std::vector<std::uint8_t> GlobalsRequestMessage() {
    return {SysExStart, DsiMaker, MophoDevice, GlobalsRequest, SysExEnd};
}

std::vector<std::uint8_t> DeviceInquiryMessage() {
    return {SysExStart, 0x7E, 0x7F, 0x06, 0x01, SysExEnd};
}

MidiError SendProgramDump(MidiOutput& out, const TSoundRecord& record, int slot) {
    return SendSoundAsProgram(out, record, Slots::BankOf(slot), Slots::ProgramOf(slot));
}

MidiError SendSoundAsProgram(MidiOutput& out, const TSoundRecord& record, int bank, int program) {
    return Send(out, ProgramDumpMessage(record, bank, program));
}

MidiError SendEditBufferDump(MidiOutput& out, const TSoundRecord& record) {
    return Send(out, EditBufferDumpMessage(record));
}

MidiError RequestProgramDump(MidiOutput& out, int bank, int program) {
    return Send(out, ProgramDumpRequestMessage(bank, program));
}

MidiError RequestEditBuffer(MidiOutput& out) {
    return Send(out, EditBufferRequestMessage());
}

MidiError RequestGlobals(MidiOutput& out) {
    return Send(out, GlobalsRequestMessage());
}

MidiError RequestDeviceInquiry(MidiOutput& out) {
    return Send(out, DeviceInquiryMessage());
}

bool BeginsAs(ReplyLayout layout, std::span<const std::uint8_t> message) {
    const auto begins = [message](std::initializer_list<std::uint8_t> header) {
        return message.size() >= header.size() &&
               std::equal(header.begin(), header.end(), message.begin());
    };
    switch (layout) {
    case ReplyLayout::ProgramDump:
        return begins({SysExStart, DsiMaker, MophoDevice, ProgramDump});
    case ReplyLayout::EditBufferDump:
        return begins({SysExStart, DsiMaker, MophoDevice, EditBufferDump});
    case ReplyLayout::GlobalsDump:
        return begins({SysExStart, DsiMaker, MophoDevice, GlobalsDump});
    case ReplyLayout::DeviceInquiryReply:
        // Byte 2, the answering device's channel, may be any.
        return message.size() >= 5 && message[0] == SysExStart &&
               message[1] == UniversalNonRealTime && message[3] == GeneralInformation &&
               message[4] == IdentityReply;
    }
    return false;
}

std::array<int, GlobalsCount> GlobalsFromDump(std::span<const std::uint8_t> reply) {
    std::array<int, GlobalsCount> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t low = GlobalsFirstByte + 2 * i;
        values[i] = ByteAt(reply, low) + 16 * ByteAt(reply, low + 1);
    }
    return values;
}

DeviceVersion DeviceVersionFromReply(std::span<const std::uint8_t> reply) {
    const std::uint8_t revision = ByteAt(reply, VersionByte);
    return {revision & 0x0F, (revision >> 4) & 0x07};
}

std::string DeviceVersionText(const DeviceVersion& version) {
    return std::to_string(version.major) + "." + std::to_string(version.minor);
}
