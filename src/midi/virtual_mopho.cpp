#include "virtual_mopho.h"

#include "bank_file.h"
#include "parameter_tables.h"
#include "sysex_codec.h"
#include "sysex_messages.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr std::uint8_t DsiMaker = 0x01;
constexpr std::uint8_t MophoDevice = 0x25;
constexpr std::uint8_t ProgramDumpCommand = 0x02;
constexpr std::uint8_t EditBufferDumpCommand = 0x03;
constexpr std::uint8_t ProgramRequestCommand = 0x05;
constexpr std::uint8_t EditBufferRequestCommand = 0x06;
constexpr std::uint8_t GlobalsRequestCommand = 0x0E;
constexpr std::uint8_t GlobalsDumpCommand = 0x0F;
constexpr std::uint8_t ClockByte = 0xF8;

// Transpose 0, fine tune 0, channel 1, internal clock, NRPN out, all in,
// controllers and SysEx on, stereo, MIDI out.
constexpr std::array<int, GlobalParameterCount> DefaultGlobals = {12, 50, 1, 0, 0, 0, 1, 1, 0, 0};

// The range factory sounds draw a parameter from, so that every value is one
// the editor can show.
struct Range {
    int low;
    int high;
};

Range FactoryRange(int p) {
    switch (p) {
    case 0:
    case 6:
    case 92:
        return {0, 120}; // notes
    case 1:
    case 7:
        return {0, 100}; // fine tune
    case 2:
    case 8:
        return {0, 103}; // shape with pulse width
    case 5:
    case 11:
        return {1, 127};
    case 14:
        return {0, 5};
    case 15:
        return {0, 12};
    case 20:
        return {0, 164};
    case 41:
    case 46:
    case 51:
    case 56:
        return {0, 166};
    case 43:
    case 48:
    case 53:
    case 58:
        return {0, 100};
    case 25:
    case 62:
    case 71:
    case 74:
    case 77:
    case 80:
    case 82:
    case 84:
    case 86:
    case 88:
    case 90:
        return {0, 254}; // amounts -127..127
    case 95:
        return {30, 250}; // tempo
    case 4:
    case 10:
    case 12:
    case 24:
    case 45:
    case 50:
    case 55:
    case 60:
    case 69:
    case 98:
    case 100:
        return {0, 1}; // switches
    case 13:
    case 97:
        return {0, 3};
    case 16:
    case 99:
        return {0, 5};
    case 42:
    case 47:
    case 52:
    case 57:
        return {0, 4};
    case 44:
    case 49:
    case 54:
    case 59:
    case 61:
    case 72:
    case 75:
    case 78:
    case 81:
    case 101:
    case 102:
    case 103:
    case 104:
        return {0, 46}; // destinations
    case 83:
    case 85:
    case 87:
    case 89:
    case 91:
        return {0, 43}; // controller destinations
    case 70:
    case 73:
    case 76:
    case 79:
        return {0, 22}; // sources
    case 94:
        return {0, 2};
    case 96:
        return {0, 12};
    case 105:
    case 106:
    case 107:
    case 108:
        return {0, 183};
    default:
        break;
    }
    if (p >= 109 && p <= 119)
        return {0, 0}; // unused
    if (p >= 136 && p <= 183)
        return {0, 125}; // sequencer tracks 2..4
    return {0, 127};
}

std::uint8_t Low7(int value) {
    return static_cast<std::uint8_t>(value & 0x7F);
}

} // namespace

VirtualMopho::VirtualMopho() : programs_(Slots::Count) {
    for (int slot = 0; slot < Slots::Count; ++slot)
        programs_[static_cast<std::size_t>(slot)] = FactorySound(slot);
    std::copy(DefaultGlobals.begin(), DefaultGlobals.end(), globals_.begin());
    SetVersion(1, 4);
    ProgramChange(0);
}

TSoundRecord VirtualMopho::FactorySound(int slot) {
    TSoundRecord record;
    record[SoundLayout::StartByte] = SysExStart;
    record[SoundLayout::MakerByte] = DsiMaker;
    record[SoundLayout::DeviceByte] = MophoDevice;
    record[SoundLayout::CommandByte] = ProgramDumpCommand;
    record[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(slot));
    record[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(slot));
    record[SoundLayout::EndByte] = SysExEnd;
    // A small linear congruential generator keeps every run identical.
    std::uint32_t seed = 0x2545F491u * static_cast<std::uint32_t>(slot + 1);
    for (int p = 0; p < SoundLayout::NameParameter; ++p) {
        seed = seed * 1664525u + 1013904223u;
        const Range range = FactoryRange(p);
        const auto span = static_cast<std::uint32_t>(range.high - range.low + 1);
        record[SoundLayout::ParameterByte(p)] =
            static_cast<std::uint8_t>(range.low + static_cast<int>((seed >> 16) % span));
    }
    SetSoundName(record, Slots::Caption(slot) + " Virtual");
    return record;
}

void VirtualMopho::SetVersion(int major, int minor) {
    versionByte_ = static_cast<std::uint8_t>((major & 0x0F) | ((minor & 0x07) << 4));
}

const TSoundRecord& VirtualMopho::Program(int slot) const {
    if (!Slots::IsValid(slot))
        throw std::out_of_range("no program slot " + std::to_string(slot));
    return programs_[static_cast<std::size_t>(slot)];
}

void VirtualMopho::SetProgram(int slot, const TSoundRecord& record) {
    if (!Slots::IsValid(slot))
        throw std::out_of_range("no program slot " + std::to_string(slot));
    programs_[static_cast<std::size_t>(slot)] = record;
}

std::vector<std::string> VirtualMopho::LoadBank(std::span<const std::uint8_t> fileBytes,
                                                std::string_view fileName) {
    BankFileContents contents = ParseBankFile(fileBytes, fileName);
    for (const BankFileRecord& entry : contents.records)
        SetProgram(entry.slot, entry.record);
    return std::move(contents.problems);
}

std::vector<std::uint8_t> VirtualMopho::BankBytes() const {
    return BankFileBytes(
        std::span<const TSoundRecord, Slots::Count>(programs_.data(), Slots::Count));
}

VirtualMopho::Replies VirtualMopho::Receive(std::span<const std::uint8_t> message) {
    if (log_.size() == LogLimit)
        log_.pop_front();
    log_.push_back(HexLine(message));
    if (message.empty())
        return {};

    const std::uint8_t status = message[0];
    if ((status & 0xF0) == 0xB0 && message.size() >= 3) {
        if (Hears(status))
            ControlChange(message[1], message[2]);
        return {};
    }
    if ((status & 0xF0) == 0xC0 && message.size() >= 2) {
        if (Hears(status))
            ProgramChange(message[1]);
        return {};
    }
    if (status != SysExStart)
        return {};
    Store(message);
    return Answer(message);
}

// Dumps are taken only when complete: a cut-off dump would store garbage.
void VirtualMopho::Store(std::span<const std::uint8_t> message) {
    if (message.size() < 4 || message[1] != DsiMaker || message[2] != MophoDevice ||
        message.back() != SysExEnd)
        return;
    if (message[3] == ProgramDumpCommand && message.size() == ProgramDumpSize) {
        const int bank = message[SoundLayout::BankByte];
        const int program = message[SoundLayout::ProgramByte];
        if (bank < Slots::BankCount && program < Slots::ProgramsPerBank)
            StoreProgram(Slots::Of(bank, program),
                         UnpackProgramData(message, ProgramDumpHeaderLength));
    } else if (message[3] == EditBufferDumpCommand && message.size() == EditBufferDumpSize) {
        editBuffer_ = UnpackProgramData(message, EditBufferHeaderLength);
    }
}

void VirtualMopho::StoreProgram(int slot, TSoundRecord record) {
    if (fault_ == Fault::DropFirstWrite) {
        writtenOnce_.resize(Slots::Count);
        if (!writtenOnce_[static_cast<std::size_t>(slot)]) {
            writtenOnce_[static_cast<std::size_t>(slot)] = true;
            return;
        }
    }
    if (fault_ == Fault::CorruptWrites) {
        constexpr int FilterFrequency = 20;
        record[SoundLayout::ParameterByte(FilterFrequency)] ^= 1;
    }
    SetProgram(slot, record);
}

VirtualMopho::Replies VirtualMopho::Answer(std::span<const std::uint8_t> message) {
    Chunk reply;
    bool askedForGlobals = false;
    if (message.size() >= 5 && message[1] == DsiMaker && message[2] == MophoDevice &&
        message.back() == SysExEnd) {
        switch (message[3]) {
        case ProgramRequestCommand:
            if (message.size() == 7 && message[4] < Slots::BankCount &&
                message[5] < Slots::ProgramsPerBank)
                reply = ProgramDumpMessage(Program(Slots::Of(message[4], message[5])), message[4],
                                           message[5]);
            break;
        case EditBufferRequestCommand:
            reply = EditBufferDumpMessage(editBuffer_);
            break;
        case GlobalsRequestCommand:
            reply = GlobalsDump();
            askedForGlobals = true;
            break;
        default:
            break;
        }
    } else if (message.size() == 6 && message[1] == 0x7E &&
               (message[2] == 0x7F || message[2] < 16) && message[3] == 0x06 &&
               message[4] == 0x01 && message[5] == SysExEnd) {
        reply = DeviceInquiryReply();
    }
    if (reply.empty())
        return {};
    if (fault_ == Fault::WrongKind)
        reply = askedForGlobals ? EditBufferDumpMessage(editBuffer_) : GlobalsDump();
    return WithFault(std::move(reply));
}

VirtualMopho::Replies VirtualMopho::WithFault(Chunk reply) const {
    switch (fault_) {
    case Fault::NoAnswer:
        return {};
    case Fault::Truncated:
        reply.resize(reply.size() / 2);
        return {std::move(reply)};
    case Fault::ClockSplit: {
        Replies pieces;
        for (std::size_t start = 0; start < reply.size(); start += ClockSplitInterval) {
            if (start > 0)
                pieces.push_back({ClockByte});
            const std::size_t end = std::min(reply.size(), start + ClockSplitInterval);
            pieces.emplace_back(reply.begin() + static_cast<std::ptrdiff_t>(start),
                                reply.begin() + static_cast<std::ptrdiff_t>(end));
        }
        return pieces;
    }
    case Fault::None:
    case Fault::WrongKind:
    case Fault::DropFirstWrite:
    case Fault::CorruptWrites:
        break;
    }
    return {std::move(reply)};
}

VirtualMopho::Chunk VirtualMopho::GlobalsDump() const {
    Chunk dump = {SysExStart, DsiMaker, MophoDevice, GlobalsDumpCommand};
    for (int value : globals_) {
        dump.push_back(static_cast<std::uint8_t>(value & 0x0F));
        dump.push_back(static_cast<std::uint8_t>((value >> 4) & 0x0F));
    }
    dump.push_back(SysExEnd);
    return dump;
}

VirtualMopho::Chunk VirtualMopho::DeviceInquiryReply() const {
    return {SysExStart, 0x7E, 0x7F, 0x06,         0x02, DsiMaker, MophoDevice,
            0x01,       0x00, 0x00, versionByte_, 0x00, 0x00,     SysExEnd};
}

bool VirtualMopho::Hears(std::uint8_t status) const {
    return MidiChannel() == 0 || (status & 0x0F) == MidiChannel() - 1;
}

void VirtualMopho::SetMidiChannel(int channel) {
    if (channel >= 0 && channel <= 16)
        globals_[MidiChannelGlobal] = channel;
}

VirtualMopho::Replies VirtualMopho::PanelKnob(int nrpn, int value) {
    ApplyNrpn(nrpn, value);
    constexpr int SendsNrpn = 0;
    if (globals_[ParameterSendGlobal] != SendsNrpn)
        return {};
    const auto status = static_cast<std::uint8_t>(0xB0 + SendChannel());
    const auto low7 = [](int v) { return static_cast<std::uint8_t>(v & 0x7F); };
    return {{status, 99, low7(nrpn >> 7)},
            {status, 98, low7(nrpn)},
            {status, 6, low7(value >> 7)},
            {status, 38, low7(value)}};
}

VirtualMopho::Replies VirtualMopho::PanelProgram(int program) {
    if (program < 0 || program >= Slots::ProgramsPerBank)
        return {};
    ProgramChange(program);
    return {{static_cast<std::uint8_t>(0xC0 + SendChannel()), static_cast<std::uint8_t>(program)}};
}

void VirtualMopho::ControlChange(int controller, int value) {
    switch (controller) {
    case 32:
        if (value < Slots::BankCount)
            bank_ = value;
        break;
    case 99:
        nrpnMsb_ = value;
        break;
    case 98:
        nrpnLsb_ = value;
        break;
    case 6:
        valueMsb_ = value;
        break;
    case 38:
        ApplyNrpn((nrpnMsb_ << 7) | nrpnLsb_, (valueMsb_ << 7) | Low7(value));
        break;
    default:
        break;
    }
}

void VirtualMopho::ProgramChange(int program) {
    if (program >= Slots::ProgramsPerBank)
        return;
    editBuffer_ = programs_[static_cast<std::size_t>(Slots::Of(bank_, program))];
    editBuffer_[SoundLayout::CommandByte] = EditBufferDumpCommand;
    editBuffer_[SoundLayout::BankByte] = 0;
    editBuffer_[SoundLayout::ProgramByte] = 0;
}

// Values that do not fit the parameter are ignored rather than wrapped.
void VirtualMopho::ApplyNrpn(int nrpn, int value) {
    if (const int parameter = ParameterForNrpn(nrpn); parameter >= 0) {
        if (value <= 0xFF)
            editBuffer_[SoundLayout::ParameterByte(parameter)] = static_cast<std::uint8_t>(value);
        return;
    }
    if (const int global = GlobalForNrpn(nrpn); global >= 0) {
        if (value <= GlobalParameters[static_cast<std::size_t>(global)].maximum)
            globals_[static_cast<std::size_t>(global)] = value;
    }
}

std::string HexLine(std::span<const std::uint8_t> bytes) {
    std::string line;
    line.reserve(bytes.size() * 3);
    char hex[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", bytes[i]);
        line += hex;
    }
    return line;
}

namespace {
struct FaultNameEntry {
    VirtualMopho::Fault fault;
    std::string_view name;
};
constexpr std::array<FaultNameEntry, 7> FaultNames = {{
    {VirtualMopho::Fault::None, "none"},
    {VirtualMopho::Fault::NoAnswer, "no-answer"},
    {VirtualMopho::Fault::Truncated, "truncated"},
    {VirtualMopho::Fault::WrongKind, "wrong-kind"},
    {VirtualMopho::Fault::ClockSplit, "clock-split"},
    {VirtualMopho::Fault::DropFirstWrite, "drop-first-write"},
    {VirtualMopho::Fault::CorruptWrites, "corrupt-writes"},
}};
} // namespace

std::optional<VirtualMopho::Fault> FaultFromName(std::string_view name) {
    for (const FaultNameEntry& entry : FaultNames) {
        if (entry.name == name)
            return entry.fault;
    }
    return std::nullopt;
}

std::string_view FaultName(VirtualMopho::Fault fault) {
    for (const FaultNameEntry& entry : FaultNames) {
        if (entry.fault == fault)
            return entry.name;
    }
    return "none";
}
