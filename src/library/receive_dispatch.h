#pragma once

#include "sound_record.h"
#include "sysex_codec.h"
#include "sysex_messages.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <span>

class MidiPorts;
class TSoundLibrary;

// What the outstanding request was, and so how its reply is read.
enum class ReplyKind : int {
    None = 0, // nothing awaited: at start, and after a wait was abandoned
    ProgramDump = 10,
    ProgramCheck = 11, // a program read back after sending, compared, not stored
    EditBufferForEditor = 15,
    Globals = 20,
    EditBufferForLocker = 25,
    DeviceVersion = 100,
};

// The ports keep the awaited reply as a number (MidiPorts::ExpectedReply);
// these set and read it as a kind.
void Await(MidiPorts& ports, ReplyKind kind);
ReplyKind AwaitedReply(const MidiPorts& ports);

// Who takes the edit-buffer sound once it is in.
enum class SoundHandOver { None, Editor, Locker };

// Decides what a completed reply is and acts on it, on the GUI thread: stores
// program dumps into the library and asks for the next one of a read, keeps
// the edit-buffer sound for the editor or the locker, takes the globals and
// the software version. Only a message that begins as the awaited reply is
// taken; any other is passed over and the input waits on for the reply.
class ReceiveDispatcher {
public:
    struct Outlets {
        std::function<void(const QString&)> log;         // one memo line
        std::function<void(const QString&)> setWaitText; // the wait box's label
        std::function<void(int slot)> refreshRow;
        // The globals are in; shows them (until the globals window exists: nothing).
        std::function<void(const std::array<int, GlobalsCount>&)> showGlobals;
        // The edit-buffer sound is in, for the editor or the locker (until
        // they exist: nothing).
        std::function<void(SoundHandOver, const TSoundRecord&)> takeSound;
    };

    ReceiveDispatcher(TSoundLibrary& library, MidiPorts& ports, Outlets outlets);

    // Handles the reply in the receive buffer; does nothing unless ReceiveArmed.
    // True when it answered the awaited request (taken, or reported as too
    // short); false when nothing was armed or it was passed over.
    bool DispatchReply();

    std::array<std::uint8_t, DeviceInquiryReplySize> VersionReply{};
    std::array<std::uint8_t, GlobalsDumpSize> GlobalsReply{};
    bool EditRequestActive = false;
    // The programs read back after sending: how many came, how many differed.
    int CheckedCount = 0;
    int DifferingCount = 0;

private:
    using Reply = std::span<const std::uint8_t>;

    // `awaited` names the awaited reply ("a program dump"); null when none is.
    void PassOver(Reply reply, const char* awaited);
    void TakeVersion(Reply reply);
    void TakeGlobals(Reply reply);
    void TakeProgram(Reply reply);
    void TakeProgramCheck(Reply reply);
    void TakeEditBuffer(Reply reply, SoundHandOver handOver);
    // Stores a program dump's record; false when its location names no slot.
    bool StoreProgram(const TSoundRecord& record);
    void RequestNextProgram();
    // A reply shorter than its layout is reported; a longer one is read up to it.
    bool HasLayoutLength(Reply reply, std::size_t length, const char* what);
    void EndExchange();
    void Log(const QString& line) const;

    TSoundLibrary& library_;
    MidiPorts& ports_;
    Outlets outlets_;
};
