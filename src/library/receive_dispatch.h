#pragma once

#include "instrument_exchange.h"
#include "sound_record.h"
#include "sysex_codec.h"
#include "sysex_messages.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

class TSoundLibrary;

// Who takes the edit-buffer sound once it is in.
enum class SoundHandOver { None, Editor, Locker };

// Decides what a SysEx message from the instrument is and acts on it, on the
// GUI thread: stores program dumps into the library, keeps the edit-buffer
// sound for the editor or the locker, takes the globals and the software
// version, and tells the exchange, which asks for what comes next. Only a
// message that answers what the exchange awaits is taken; any other is
// passed over and the exchange waits on.
class ReceiveDispatcher {
public:
    struct Outlets {
        std::function<void(const QString&)> log;         // one memo line
        std::function<void(const QString&)> setWaitText; // the wait box's label
        // The globals are in; shows them (until the globals window exists: nothing).
        std::function<void(const std::array<int, GlobalsCount>&)> showGlobals;
        // The edit-buffer sound is in, for the editor or the locker (until
        // they exist: nothing).
        std::function<void(SoundHandOver, const TSoundRecord&)> takeSound;
    };

    ReceiveDispatcher(TSoundLibrary& library, InstrumentExchange& exchange, Outlets outlets);

    // Handles one message. True when it answered what was awaited (taken,
    // or reported as too short); false when nothing was awaited or it was
    // passed over.
    bool DispatchReply(std::span<const std::uint8_t> reply);

    // The last device version reply taken.
    const std::array<std::uint8_t, DeviceInquiryReplySize>& VersionReply() const {
        return versionReply_;
    }
    // The programs read back after sending since the last BeginCheck: how
    // many came, how many differed.
    void BeginCheck() { checked_ = differing_ = 0; }
    int CheckedCount() const { return checked_; }
    int DifferingCount() const { return differing_; }

private:
    using Reply = std::span<const std::uint8_t>;

    // `awaited` names the awaited reply ("a program dump"); null when none is.
    void PassOver(Reply reply, const char* awaited);
    void TakeVersion(Reply reply);
    void TakeGlobals(Reply reply);
    // False when the dump is for no program the read awaits.
    bool TakeProgram(Reply reply);
    bool TakeProgramCheck(Reply reply);
    void TakeEditBuffer(Reply reply, SoundHandOver handOver);
    // The slot a program dump of the read answers, also a dump of the
    // current sound (bank 127); nothing when the read does not await it.
    std::optional<int> AnsweredSlot(Reply reply) const;
    // A reply shorter than its layout is reported; a longer one is read up to it.
    bool HasLayoutLength(Reply reply, std::size_t length, const char* what);
    void Log(const QString& line) const;

    TSoundLibrary& library_;
    InstrumentExchange& exchange_;
    std::array<std::uint8_t, DeviceInquiryReplySize> versionReply_{};
    int checked_ = 0;
    int differing_ = 0;
    Outlets outlets_;
};
