#include "receive_dispatch.h"

#include "sound_compare.h"

#include "sound_library.h"

#include <QStringList>

#include <algorithm>
#include <exception>

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

ReceiveDispatcher::ReceiveDispatcher(TSoundLibrary& library, InstrumentExchange& exchange,
                                     Outlets outlets)
    : library_(library), exchange_(exchange), outlets_(std::move(outlets)) {}

void ReceiveDispatcher::Log(const QString& line) const {
    if (outlets_.log)
        outlets_.log(line);
}

bool ReceiveDispatcher::DispatchReply(Reply reply) {
    // Outside an exchange nothing is awaited: a late reply to a request the
    // user gave up on, or another device's message, changes nothing.
    if (!exchange_.Waiting())
        return false;
    try {
        const auto awaited = std::find_if(
            AwaitedReplies.begin(), AwaitedReplies.end(),
            [this](const Awaited& candidate) { return candidate.kind == exchange_.Awaited(); });
        if (awaited == AwaitedReplies.end())
            return false;
        if (!BeginsAs(awaited->layout, reply)) {
            PassOver(reply, awaited->name);
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
            return TakeProgram(reply);
        case ReplyKind::ProgramCheck:
            return TakeProgramCheck(reply);
        case ReplyKind::EditBufferForEditor:
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

// Another maker's message, a reply of another kind or a program the read
// does not wait for is no answer: it changes nothing, and the exchange
// waits on for the answer.
void ReceiveDispatcher::PassOver(Reply reply, const char* awaited) {
    Log(QStringLiteral("Passed over a SysEx message beginning %1: it is not %2.")
            .arg(Beginning(reply), QLatin1String(awaited)));
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
    if (!HasLayoutLength(reply, versionReply_.size(), "a device version reply")) {
        exchange_.Unusable();
        return;
    }
    std::copy_n(reply.begin(), versionReply_.size(), versionReply_.begin());
    const DeviceVersion version = DeviceVersionFromReply(versionReply_);
    Log(QStringLiteral("Software version: %1.%2").arg(version.major).arg(version.minor));
    exchange_.Answered();
}

void ReceiveDispatcher::TakeGlobals(Reply reply) {
    if (!HasLayoutLength(reply, GlobalsDumpSize, "a global parameter dump")) {
        exchange_.Unusable();
        return;
    }
    Log(QStringLiteral("Global"));
    if (outlets_.setWaitText)
        outlets_.setWaitText(QStringLiteral("Received globals."));
    exchange_.Answered();
    if (outlets_.showGlobals)
        outlets_.showGlobals(GlobalsFromDump(reply.first(GlobalsDumpSize)));
}

std::optional<int> ReceiveDispatcher::AnsweredSlot(Reply reply) const {
    const std::optional<int> slot = ProgramDumpSlot(reply);
    if (slot && exchange_.AwaitsProgram(*slot))
        return slot;
    return std::nullopt;
}

bool ReceiveDispatcher::TakeProgram(Reply reply) {
    if (!HasLayoutLength(reply, ProgramDumpSize, "a program dump")) {
        exchange_.Unusable();
        return true;
    }
    TSoundRecord record = UnpackProgramData(reply.first(ProgramDumpSize), ProgramDumpHeaderLength);
    const int bank = record[SoundLayout::BankByte];
    const int program = record[SoundLayout::ProgramByte];
    // The instrument's current sound (bank 127) answers the request and
    // goes into the current slot.
    const bool current = bank == BankOfCurrentSlot;
    const std::optional<int> slot =
        current ? std::optional<int>(library_.CurrentSlot()) : AnsweredSlot(reply);
    if (!slot) {
        PassOver(reply, "a program dump the read waits for");
        return false;
    }
    record[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(*slot));
    record[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(*slot));
    library_.StoreSound(*slot, record, false);
    Log(QStringLiteral("DSIM Bank: %1 Sound:%2").arg(bank + 1).arg(program));
    exchange_.Answered(current ? exchange_.OutstandingSlot() : slot);
    if (outlets_.setWaitText)
        outlets_.setWaitText(QStringLiteral("Received %1 sound.").arg(exchange_.AnsweredCount()));
    return true;
}

// A program read back after sending is compared with the library's sound for
// its location; the library keeps its own.
bool ReceiveDispatcher::TakeProgramCheck(Reply reply) {
    if (!HasLayoutLength(reply, ProgramDumpSize, "a program dump")) {
        exchange_.Unusable();
        return true;
    }
    const std::optional<int> slot = ProgramDumpSlot(reply);
    if (!slot || !exchange_.AwaitsProgram(*slot)) {
        PassOver(reply, "a program dump the read waits for");
        return false;
    }
    const TSoundRecord readBack =
        UnpackProgramData(reply.first(ProgramDumpSize), ProgramDumpHeaderLength);
    const TSoundRecord& sent = library_.Sound(*slot);
    ++checked_;
    if (!SameSentParameters(sent, readBack)) {
        ++differing_;
        Log(ReadBackMismatch(*slot, sent, readBack));
    }
    exchange_.Answered(*slot);
    if (outlets_.setWaitText)
        outlets_.setWaitText(QStringLiteral("Checked %1 sound.").arg(checked_));
    return true;
}

void ReceiveDispatcher::TakeEditBuffer(Reply reply, SoundHandOver handOver) {
    if (!HasLayoutLength(reply, EditBufferDumpSize, "an edit buffer dump")) {
        exchange_.Unusable();
        return;
    }
    const TSoundRecord record =
        UnpackProgramData(reply.first(EditBufferDumpSize), EditBufferHeaderLength);
    Log(QStringLiteral("Received current sound."));
    if (outlets_.setWaitText)
        outlets_.setWaitText(QStringLiteral("Received current sound."));
    exchange_.Answered();
    if (outlets_.takeSound)
        outlets_.takeSound(handOver, record);
}
