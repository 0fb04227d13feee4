#include "instrument_exchange.h"

#include "sound_record.h"
#include "sysex_messages.h"

#include <algorithm>

namespace {
constexpr int AttemptsPerRequest = 2;
constexpr std::size_t BankByte = 4;
constexpr std::size_t ProgramByte = 5;
} // namespace

InstrumentExchange::InstrumentExchange(Sender sender, std::chrono::milliseconds replyTime)
    : sender_(std::move(sender)), replyTime_(replyTime) {}

MidiError InstrumentExchange::Begin(ReplyKind kind, Clock::time_point now) {
    awaited_ = kind;
    singleAsked_ = false;
    current_.reset();
    attempts_ = 0;
    silentInARow_ = 0;
    answered_ = 0;
    missing_.clear();
    sendError_ = MidiError::None;
    return Next(now);
}

MidiError InstrumentExchange::AskForPrograms(ReplyKind kind, const std::vector<int>& slots,
                                             Clock::time_point now) {
    reading_ = true;
    queue_.assign(slots.begin(), slots.end());
    single_.clear();
    return Begin(kind, now);
}

MidiError InstrumentExchange::AskFor(ReplyKind kind, std::vector<std::uint8_t> request,
                                     Clock::time_point now) {
    reading_ = false;
    queue_.clear();
    single_ = std::move(request);
    return Begin(kind, now);
}

bool InstrumentExchange::AwaitsProgram(int slot) const {
    return Waiting() && reading_ &&
           (current_ == slot ||
            std::find(missing_.begin(), missing_.end(), slot) != missing_.end());
}

std::optional<int> InstrumentExchange::OutstandingSlot() const {
    return Waiting() ? current_ : std::nullopt;
}

MidiError InstrumentExchange::SendOutstanding(Clock::time_point now) {
    ++attempts_;
    sentAt_ = now;
    const std::vector<std::uint8_t> request =
        reading_ ? ProgramDumpRequestMessage(Slots::BankOf(*current_), Slots::ProgramOf(*current_))
                 : single_;
    if (const MidiError error = sender_(request); error != MidiError::None) {
        sendError_ = error;
        End(ExchangeEnd::SendFailed);
        return error;
    }
    return MidiError::None;
}

MidiError InstrumentExchange::Next(Clock::time_point now) {
    attempts_ = 0;
    current_.reset();
    if (reading_ ? queue_.empty() : singleAsked_) {
        End(ExchangeEnd::Completed);
        return MidiError::None;
    }
    if (reading_) {
        current_ = queue_.front();
        queue_.pop_front();
        // Missing until it arrives, so a read that ends early names it.
        missing_.push_back(*current_);
    }
    singleAsked_ = true;
    return SendOutstanding(now);
}

void InstrumentExchange::Forget(int slot) {
    missing_.erase(std::remove(missing_.begin(), missing_.end(), slot), missing_.end());
}

void InstrumentExchange::Answered(std::optional<int> slot, Clock::time_point now) {
    if (!Waiting())
        return;
    ++answered_;
    if (reading_ && slot) {
        Forget(*slot);
        if (slot != current_)
            return; // a late reply to an earlier request: the current one stays
    }
    silentInARow_ = 0;
    Next(now);
}

void InstrumentExchange::Unusable(Clock::time_point now) {
    if (!Waiting())
        return;
    silentInARow_ = 0; // the instrument answers
    if (attempts_ < AttemptsPerRequest)
        SendOutstanding(now);
    else
        Next(now);
}

void InstrumentExchange::Tick(Clock::time_point now) {
    if (!Waiting() || now < Deadline())
        return;
    if (attempts_ < AttemptsPerRequest) {
        SendOutstanding(now);
        return;
    }
    if (++silentInARow_ >= SilentRequestsInARow || !reading_) {
        if (reading_)
            missing_.insert(missing_.end(), queue_.begin(), queue_.end());
        End(ExchangeEnd::Silent);
        return;
    }
    Next(now);
}

void InstrumentExchange::Abandon() {
    if (!Waiting())
        return;
    if (reading_)
        missing_.insert(missing_.end(), queue_.begin(), queue_.end());
    End(ExchangeEnd::Abandoned);
}

void InstrumentExchange::End(ExchangeEnd how) {
    awaited_ = ReplyKind::None;
    queue_.clear();
    current_.reset();
    lastEnd_ = how;
    if (endHandler_)
        endHandler_(how);
}

std::optional<int> ProgramDumpSlot(std::span<const std::uint8_t> message) {
    if (!BeginsAs(ReplyLayout::ProgramDump, message) || message.size() <= ProgramByte)
        return std::nullopt;
    const int bank = message[BankByte];
    const int program = message[ProgramByte];
    if (bank >= Slots::BankCount || program >= Slots::ProgramsPerBank)
        return std::nullopt;
    return Slots::Of(bank, program);
}
