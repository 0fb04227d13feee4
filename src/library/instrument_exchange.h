#pragma once

#include "midi_error.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

// What the outstanding request was, and so how its reply is read.
enum class ReplyKind {
    None, // nothing awaited: no exchange runs
    ProgramDump,
    ProgramCheck, // a program read back after sending, compared, not stored
    EditBufferForEditor,
    Globals,
    EditBufferForLocker,
    DeviceVersion,
};

// How an exchange came to its end.
enum class ExchangeEnd {
    Completed,  // every request was answered or asked for twice
    Silent,     // no reply to SilentRequestsInARow requests in a row
    SendFailed, // a request could not be sent (SendError says why)
    Abandoned,  // the user gave up
};

// One request-and-reply conversation with the instrument: what is awaited,
// the requests still to go, the replies counted, the time a reply may take,
// and the end. One request is outstanding at a time; the next goes out once
// the reply to it is taken. A request whose reply does not come in time, or
// comes unusable, is asked for once more; then the exchange moves on. No
// thread of its own: the owner hands it replies and the time.
class InstrumentExchange {
public:
    using Clock = std::chrono::steady_clock;
    // Sends one request; MidiError::None when it went out.
    using Sender = std::function<MidiError(std::span<const std::uint8_t>)>;
    static constexpr std::chrono::milliseconds DefaultReplyTime{2000};
    static constexpr int SilentRequestsInARow = 3;

    explicit InstrumentExchange(Sender sender,
                                std::chrono::milliseconds replyTime = DefaultReplyTime);

    // Called once when an exchange ends, after its state is final.
    void SetEndHandler(std::function<void(ExchangeEnd)> handler) {
        endHandler_ = std::move(handler);
    }

    // Asks for the programs of `slots` in that order (kind ProgramDump or
    // ProgramCheck). Returns the first request's send error; the exchange
    // has then ended.
    MidiError AskForPrograms(ReplyKind kind, const std::vector<int>& slots,
                             Clock::time_point now = Clock::now());
    // Asks once with `request` for one reply of `kind`.
    MidiError AskFor(ReplyKind kind, std::vector<std::uint8_t> request,
                     Clock::time_point now = Clock::now());

    bool Waiting() const { return awaited_ != ReplyKind::None; }
    ReplyKind Awaited() const { return awaited_; }
    // A program read still waits for the program of `slot`: asked for now,
    // or asked for before and not yet in (a late reply is welcome).
    bool AwaitsProgram(int slot) const;
    // The slot of the program asked for now; nothing between requests.
    std::optional<int> OutstandingSlot() const;

    // These send the next request as needed; a request that cannot be sent
    // ends the exchange (ExchangeEnd::SendFailed, SendError says why).
    // The reply for `slot` (a program read) or the one awaited reply is in
    // and taken.
    void Answered(std::optional<int> slot = std::nullopt, Clock::time_point now = Clock::now());
    // The awaited reply came but could not be used (cut short): asked for once more.
    void Unusable(Clock::time_point now = Clock::now());
    // Time passes: a reply overdue is asked for once more, or given up.
    void Tick(Clock::time_point now = Clock::now());
    // The time of the outstanding request starts again (a window the user
    // works in is in front; the instrument is not silent then).
    void RestartReplyTime(Clock::time_point now = Clock::now()) { sentAt_ = now; }
    // When the outstanding request is overdue.
    Clock::time_point Deadline() const { return sentAt_ + replyTime_; }
    void Abandon();

    // Of the last or running exchange: replies taken, programs asked for
    // that never came (in the order asked), how it ended.
    int AnsweredCount() const { return answered_; }
    std::vector<int> MissingSlots() const { return missing_; }
    MidiError SendError() const { return sendError_; }
    ExchangeEnd LastEnd() const { return lastEnd_; }

private:
    MidiError Begin(ReplyKind kind, Clock::time_point now);
    MidiError SendOutstanding(Clock::time_point now);
    // The outstanding request is done with: the next goes out, or the exchange ends.
    MidiError Next(Clock::time_point now);
    void End(ExchangeEnd how);
    void Forget(int slot);

    Sender sender_;
    std::chrono::milliseconds replyTime_;
    std::function<void(ExchangeEnd)> endHandler_;

    ReplyKind awaited_ = ReplyKind::None;
    std::deque<int> queue_;            // program slots still to ask for
    std::optional<int> current_;       // the slot asked for now (program reads)
    std::vector<std::uint8_t> single_; // the request of a single-reply exchange
    bool reading_ = false;             // a program read, not a single reply
    bool singleAsked_ = false;
    int attempts_ = 0; // of the outstanding request
    int silentInARow_ = 0;
    Clock::time_point sentAt_{};
    int answered_ = 0;
    std::vector<int> missing_;
    MidiError sendError_ = MidiError::None;
    ExchangeEnd lastEnd_ = ExchangeEnd::Completed;
};

// The slot a program dump names by its bank and program bytes; nothing for a
// message that is no program dump, or names no slot (bank 127: the current sound).
std::optional<int> ProgramDumpSlot(std::span<const std::uint8_t> message);
