#include "receive_dispatch.h"

#include "sound_compare.h"

#include "midi_ports.h"
#include "sound_library.h"

#include <QStringList>

#include <algorithm>
#include <exception>

static_assert(static_cast<int>(ReplyKind::None) == MidiPorts::NothingAwaited);

void Await(MidiPorts& ports, ReplyKind kind) {
    ports.ExpectedReply = static_cast<int>(kind);
}

ReplyKind AwaitedReply(const MidiPorts& ports) {
    return static_cast<ReplyKind>(ports.ExpectedReply);
}

namespace {
constexpr int BankOfCurrentSlot = 127;

struct Awaited {
    ReplyKind kind;
    ReplyLayout layout;
    const char* name;
};

constexpr std::array<Awaited, 6> AwaitedReplies = {{
    {ReplyKind::ProgramDump, ReplyLayout::ProgramDump, "a program dump"},
    {ReplyKind::ProgramCheck, ReplyLayout::ProgramDump, "a program dump"},
    {ReplyKind::EditBufferForEditor, ReplyLayout::EditBufferDump, "an edit buffer dump"},
    {ReplyKind::Globals, ReplyLayout::GlobalsDump, "a global parameter dump"},
    {ReplyKind::EditBufferForLocker, ReplyLayout::EditBufferDump, "an edit buffer dump"},
    {ReplyKind::DeviceVersion, ReplyLayout::DeviceInquiryReply, "a device version reply"},
}};

// "A004 Lead read back differently: Filter Frequency 80, read back 81"; the
// first few parameters only, a memo line is no report.
QString ReadBackMismatch(int slot, const TSoundRecord& sent, const TSoundRecord& readBack) {
    constexpr std::size_t Shown = 3;
    const auto rows = CompareSounds(sent, readBack);
    QStringList parts;
    for (std::size_t i = 0; i < rows.size() && i < Shown; ++i)
        parts << QString::fromStdString(rows[i].name + " " + rows[i].first + ", read back " +
                                        rows[i].second);
    if (rows.size() > Shown)
        parts << QStringLiteral("%1 more").arg(rows.size() - Shown);
    if (rows.empty())
        parts << QStringLiteral("parameters beyond the editor's differ");
    std::string name = GetSoundName(sent);
    name.erase(name.find_last_not_of(' ') + 1);
    return QStringLiteral("%1 %2 read back differently: %3")
        .arg(QString::fromStdString(Slots::Caption(slot)), QString::fromStdString(NameToUtf8(name)),
             parts.join(QStringLiteral("; ")));
}

// The first bytes of a message, for the memo: "F0 43 00 00 05 00".
QString Beginning(std::span<const std::uint8_t> message) {
    constexpr std::size_t Shown = 6;
    QStringList bytes;
    for (std::size_t i = 0; i < message.size() && i < Shown; ++i)
        bytes << QStringLiteral("%1").arg(message[i], 2, 16, QLatin1Char('0')).toUpper();
    return bytes.join(QLatin1Char(' '));
}
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

bool ReceiveDispatcher::DispatchReply() {
    if (!ports_.ReceiveArmed)
        return false;
    try {
        const std::size_t received = std::min(ports_.ReceivedBytes(), ports_.ReceiveBuffer.size());
        const Reply reply(ports_.ReceiveBuffer.data(), received);
        const auto awaited = std::find_if(
            AwaitedReplies.begin(), AwaitedReplies.end(),
            [this](const Awaited& candidate) { return candidate.kind == AwaitedReply(ports_); });
        if (awaited == AwaitedReplies.end() || !BeginsAs(awaited->layout, reply)) {
            PassOver(reply, awaited == AwaitedReplies.end() ? nullptr : awaited->name);
            return false;
        }
        switch (awaited->kind) {
        case ReplyKind::DeviceVersion:
            TakeVersion(reply);
            break;
        case ReplyKind::Globals:
            TakeGlobals(reply);
            break;
        case ReplyKind::ProgramDump:
            TakeProgram(reply);
            break;
        case ReplyKind::ProgramCheck:
            TakeProgramCheck(reply);
            break;
        case ReplyKind::EditBufferForEditor:
            if (!EditRequestActive)
                return false;
            TakeEditBuffer(reply, SoundHandOver::Editor);
            break;
        case ReplyKind::EditBufferForLocker:
            TakeEditBuffer(reply, SoundHandOver::Locker);
            break;
        case ReplyKind::None:
            return false;
        }
        return true;
    } catch (const std::exception& failure) {
        Log(QString::fromLocal8Bit(failure.what()));
        return false;
    }
}

// Another maker's message or a reply of another kind is no answer: it
// changes nothing, and the input waits on for the answer.
void ReceiveDispatcher::PassOver(Reply reply, const char* awaited) {
    if (awaited == nullptr) {
        Log(QStringLiteral("Passed over a SysEx message beginning %1: no reply is awaited.")
                .arg(Beginning(reply)));
        return;
    }
    Log(QStringLiteral("Passed over a SysEx message beginning %1: it is not %2.")
            .arg(Beginning(reply), QLatin1String(awaited)));
    ports_.ArmReceiveAgain();
}

// Bytes beyond a short reply are whatever an earlier reply left in the
// buffer: a short reply is reported, never read. Bytes beyond the layout
// (a longer software revision) are not read.
bool ReceiveDispatcher::HasLayoutLength(Reply reply, std::size_t length, const char* what) {
    if (reply.size() >= length)
        return true;
    Log(QStringLiteral("Ignored a reply of %1 bytes: %2 has %3.")
            .arg(reply.size())
            .arg(QLatin1String(what))
            .arg(length));
    return false;
}

void ReceiveDispatcher::TakeVersion(Reply reply) {
    if (HasLayoutLength(reply, VersionReply.size(), "a device version reply")) {
        std::copy_n(reply.begin(), VersionReply.size(), VersionReply.begin());
        const DeviceVersion version = DeviceVersionFromReply(VersionReply);
        Log(QStringLiteral("Software version: %1.%2").arg(version.major).arg(version.minor));
    }
    EndExchange();
}

void ReceiveDispatcher::TakeGlobals(Reply reply) {
    if (HasLayoutLength(reply, GlobalsReply.size(), "a global parameter dump")) {
        std::copy_n(reply.begin(), GlobalsReply.size(), GlobalsReply.begin());
        Log(QStringLiteral("Global"));
        if (outlets_.setWaitText)
            outlets_.setWaitText(QStringLiteral("Received globals."));
        if (outlets_.showGlobals)
            outlets_.showGlobals(GlobalsFromDump(GlobalsReply));
    }
    EndExchange();
}

void ReceiveDispatcher::TakeProgram(Reply reply) {
    if (HasLayoutLength(reply, ProgramDumpSize, "a program dump")) {
        const TSoundRecord record =
            UnpackProgramData(reply.first(ProgramDumpSize), ProgramDumpHeaderLength);
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

// A program read back after sending is compared with the library's sound for
// its location; the library keeps its own.
void ReceiveDispatcher::TakeProgramCheck(Reply reply) {
    if (HasLayoutLength(reply, ProgramDumpSize, "a program dump")) {
        const TSoundRecord readBack =
            UnpackProgramData(reply.first(ProgramDumpSize), ProgramDumpHeaderLength);
        const int bank = readBack[SoundLayout::BankByte];
        const int program = readBack[SoundLayout::ProgramByte];
        if (bank < Slots::BankCount && program < Slots::ProgramsPerBank) {
            const int slot = Slots::Of(bank, program);
            const TSoundRecord& sent = library_.SoundBanks[static_cast<std::size_t>(slot)];
            ++CheckedCount;
            if (!SameSentParameters(sent, readBack)) {
                ++DifferingCount;
                Log(ReadBackMismatch(slot, sent, readBack));
            }
            if (outlets_.setWaitText)
                outlets_.setWaitText(QStringLiteral("Checked %1 sound.").arg(CheckedCount));
        }
    }
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

void ReceiveDispatcher::TakeEditBuffer(Reply reply, SoundHandOver handOver) {
    if (!HasLayoutLength(reply, EditBufferDumpSize, "an edit buffer dump")) {
        EndExchange();
        return;
    }
    const TSoundRecord record =
        UnpackProgramData(reply.first(EditBufferDumpSize), EditBufferHeaderLength);
    Log(QStringLiteral("Received current sound."));
    if (outlets_.setWaitText)
        outlets_.setWaitText(QStringLiteral("Received current sound."));
    EndExchange();
    if (outlets_.takeSound)
        outlets_.takeSound(handOver, record);
}
