#include "receive_dispatch.h"

#include "midi_ports.h"
#include "sound_library.h"

#include <algorithm>
#include <exception>

namespace {
constexpr int BankOfCurrentSlot = 127;
} // namespace

ReceiveDispatcher::ReceiveDispatcher(TSoundLibrary& library, MidiPorts& ports, Outlets outlets)
    : library_(library), ports_(ports), outlets_(std::move(outlets)) {}

void ReceiveDispatcher::Log(const QString& line) const {
    if (outlets_.log)
        outlets_.log(line);
}

void ReceiveDispatcher::EndExchange() {
    ports_.ReceiveArmed = false;
}

void ReceiveDispatcher::DispatchReply() {
    if (!ports_.ReceiveArmed)
        return;
    try {
        switch (ports_.ExpectedReply) {
        case ReplyKind::DeviceVersion:
            TakeVersion();
            break;
        case ReplyKind::Globals:
            TakeGlobals();
            break;
        case ReplyKind::ProgramDump:
            TakeProgram();
            break;
        case ReplyKind::EditBufferForEditor:
            if (EditRequestActive)
                TakeEditBuffer(SoundHandOver::Editor);
            break;
        case ReplyKind::EditBufferForLocker:
            TakeEditBuffer(SoundHandOver::Locker);
            break;
        default:
            break;
        }
    } catch (const std::exception& failure) {
        Log(QString::fromLocal8Bit(failure.what()));
    }
}

// Bytes beyond a short reply are whatever an earlier reply left in the
// buffer: a reply of another length is reported, never read.
bool ReceiveDispatcher::HasLength(int expected, const char* what) {
    const auto received = static_cast<int>(ports_.ReceivedBytes());
    if (received == expected)
        return true;
    Log(QStringLiteral("Ignored a reply of %1 bytes: %2 has %3.")
            .arg(received)
            .arg(QLatin1String(what))
            .arg(expected));
    return false;
}

void ReceiveDispatcher::TakeVersion() {
    if (HasLength(DeviceInquiryReplySize, "a device version reply")) {
        std::copy_n(ports_.ReceiveBuffer.begin(), VersionReply.size(), VersionReply.begin());
        const DeviceVersion version = DeviceVersionFromReply(VersionReply);
        Log(QStringLiteral("Software version: %1.%2").arg(version.major).arg(version.minor));
    }
    EndExchange();
}

void ReceiveDispatcher::TakeGlobals() {
    if (HasLength(GlobalsDumpSize, "a global parameter dump")) {
        std::copy_n(ports_.ReceiveBuffer.begin(), GlobalsReply.size(), GlobalsReply.begin());
        Log(QStringLiteral("Global"));
        if (outlets_.setWaitText)
            outlets_.setWaitText(QStringLiteral("Received globals."));
        if (outlets_.showGlobals)
            outlets_.showGlobals(GlobalsFromDump(GlobalsReply));
    }
    EndExchange();
}

void ReceiveDispatcher::TakeProgram() {
    if (HasLength(ProgramDumpSize, "a program dump")) {
        const TSoundRecord record = UnpackProgramData(
            std::span(ports_.ReceiveBuffer).first(ProgramDumpSize), ProgramDumpHeaderLength);
        if (StoreProgram(record)) {
            ++ports_.ReceivedCount;
            if (outlets_.setWaitText)
                outlets_.setWaitText(
                    QStringLiteral("Received %1 sound.").arg(ports_.ReceivedCount));
        }
    }
    // The read goes on whatever this reply held.
    RequestNextProgram();
}

bool ReceiveDispatcher::StoreProgram(const TSoundRecord& record) {
    const int bank = record[SoundLayout::BankByte];
    const int program = record[SoundLayout::ProgramByte];
    int slot = 0;
    TSoundRecord stored = record;
    if (bank == BankOfCurrentSlot) {
        // The instrument's current sound goes into the current slot.
        slot = library_.CurrentSlot;
        stored[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(slot));
        stored[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(slot));
    } else if (bank < Slots::BankCount && program < Slots::ProgramsPerBank) {
        slot = Slots::Of(bank, program);
    } else {
        Log(QStringLiteral("Not stored: a sound for bank %1, program %2 has no place in the "
                           "library.")
                .arg(bank + 1)
                .arg(program));
        return false;
    }
    library_.SoundBanks[static_cast<std::size_t>(slot)] = stored;
    library_.SlotChanged[static_cast<std::size_t>(slot)] = 0;
    if (outlets_.refreshRow)
        outlets_.refreshRow(slot);
    Log(QStringLiteral("DSIM Bank: %1 Sound:%2").arg(bank + 1).arg(program));
    return true;
}

void ReceiveDispatcher::RequestNextProgram() {
    // The input stays ready for program dumps, also after the last one. It is
    // made ready before the next request goes out: a quick instrument answers
    // before a later re-arm, and a reply with no buffer queued is lost.
    if (ports_.Requests.RequestCount() > 0) {
        const int program = ports_.Requests.PopRequestByte();
        const int bank = ports_.Requests.PopRequestByte();
        ports_.ArmReceive(ProgramDumpSize);
        RequestProgramDump(ports_, bank, program);
    } else {
        EndExchange();
        ports_.ArmReceive(ProgramDumpSize);
    }
}

void ReceiveDispatcher::TakeEditBuffer(int handOver) {
    if (!HasLength(EditBufferDumpSize, "an edit buffer dump")) {
        EndExchange();
        return;
    }
    const TSoundRecord record = UnpackProgramData(
        std::span(ports_.ReceiveBuffer).first(EditBufferDumpSize), EditBufferHeaderLength);
    Log(QStringLiteral("Received current sound."));
    if (outlets_.setWaitText)
        outlets_.setWaitText(QStringLiteral("Received current sound."));
    EndExchange();
    CurrentSound = record;
    CurrentSoundReady = handOver;
}
