// The exchange with the instrument: one request at a time, a missing or
// unusable reply asked for once more, silence and send failures end it.

#include "instrument_exchange.h"

#include "sound_record.h"
#include "sysex_messages.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
using Clock = InstrumentExchange::Clock;

class ExchangeTest : public ::testing::Test {
protected:
    ExchangeTest() {
        exchange.SetEndHandler([this](ExchangeEnd how) { ends.push_back(how); });
    }
    // The slots asked for so far, in order.
    std::vector<int> Asked() const {
        std::vector<int> slots;
        for (const Bytes& request : sent)
            slots.push_back(Slots::Of(request[4], request[5]));
        return slots;
    }
    // A reply time later than `at`.
    static Clock::time_point After(Clock::time_point at) { return at + 2001ms; }

    std::vector<Bytes> sent;
    MidiError failure = MidiError::None;
    InstrumentExchange exchange{[this](std::span<const std::uint8_t> request) {
        if (failure == MidiError::None)
            sent.emplace_back(request.begin(), request.end());
        return failure;
    }};
    std::vector<ExchangeEnd> ends;
    Clock::time_point start = Clock::now();
};

TEST_F(ExchangeTest, ARequestGoesOutOnlyAfterTheReplyBeforeItWasTaken) {
    ASSERT_EQ(exchange.AskForPrograms(ReplyKind::ProgramDump, {0, 1, 383}, start), MidiError::None);
    EXPECT_EQ(Asked(), std::vector<int>{0});
    EXPECT_EQ(exchange.Awaited(), ReplyKind::ProgramDump);
    EXPECT_FALSE(exchange.AwaitsProgram(1)) << "not asked for yet";
    exchange.Answered(0, start);
    exchange.Answered(1, start);
    EXPECT_EQ(Asked(), (std::vector<int>{0, 1, 383}));
    EXPECT_TRUE(exchange.Waiting()) << "the last reply is still on its way";
    exchange.Answered(383, start);
    EXPECT_FALSE(exchange.Waiting());
    EXPECT_EQ(ends, std::vector<ExchangeEnd>{ExchangeEnd::Completed});
    EXPECT_EQ(exchange.AnsweredCount(), 3);
    EXPECT_TRUE(exchange.MissingSlots().empty());
}

TEST_F(ExchangeTest, AMissingProgramIsAskedForOnceMoreThenNamedAndALateReplyStillCounts) {
    exchange.AskForPrograms(ReplyKind::ProgramDump, {10, 11, 12}, start);
    exchange.Tick(start + 1s);
    EXPECT_EQ(Asked(), std::vector<int>{10}) << "not overdue yet";
    const auto second = After(start);
    exchange.Tick(second);
    EXPECT_EQ(Asked(), (std::vector<int>{10, 10}));
    exchange.Tick(After(second));
    EXPECT_EQ(Asked(), (std::vector<int>{10, 10, 11}));
    EXPECT_TRUE(exchange.AwaitsProgram(10)) << "a late reply is welcome";
    exchange.Answered(11, After(second));
    exchange.Answered(12, After(second));
    EXPECT_EQ(exchange.LastEnd(), ExchangeEnd::Completed);
    EXPECT_EQ(exchange.MissingSlots(), std::vector<int>{10});

    // The same read once more: the late reply to A011's first request arrives
    // while A012 is asked for; the read takes it and waits on for A012.
    sent.clear();
    exchange.AskForPrograms(ReplyKind::ProgramDump, {10, 11}, start);
    exchange.Tick(After(start));
    exchange.Tick(After(After(start)));
    exchange.Answered(10, After(After(start)));
    EXPECT_TRUE(exchange.Waiting());
    EXPECT_EQ(exchange.OutstandingSlot(), 11);
    exchange.Answered(11, After(After(start)));
    EXPECT_TRUE(exchange.MissingSlots().empty());
    EXPECT_EQ(exchange.AnsweredCount(), 2);
}

TEST_F(ExchangeTest, ThreeProgramsInARowWithoutAReplyEndTheReadAndNameTheRest) {
    exchange.AskForPrograms(ReplyKind::ProgramDump, {0, 1, 2, 3, 4}, start);
    auto now = start;
    for (int tick = 0; tick < 6 && exchange.Waiting(); ++tick)
        exchange.Tick(now = After(now));
    EXPECT_EQ(Asked(), (std::vector<int>{0, 0, 1, 1, 2, 2}));
    EXPECT_EQ(ends, std::vector<ExchangeEnd>{ExchangeEnd::Silent});
    EXPECT_EQ(exchange.MissingSlots(), (std::vector<int>{0, 1, 2, 3, 4}));

    // A reply between silent programs starts the count again.
    sent.clear();
    exchange.AskForPrograms(ReplyKind::ProgramDump, {0, 1, 2, 3, 4}, start);
    now = start;
    for (int tick = 0; tick < 4; ++tick)
        exchange.Tick(now = After(now));
    exchange.Answered(2, now);
    for (int tick = 0; tick < 3; ++tick)
        exchange.Tick(now = After(now));
    EXPECT_TRUE(exchange.Waiting()) << "two silent programs since the last reply";
}

TEST_F(ExchangeTest, ASingleReplyIsAskedForTwiceAtMost) {
    const Bytes request{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7};
    exchange.AskFor(ReplyKind::DeviceVersion, request, start);
    exchange.Unusable(start);
    EXPECT_EQ(sent, (std::vector<Bytes>{request, request}));
    exchange.Tick(After(start));
    EXPECT_EQ(ends, std::vector<ExchangeEnd>{ExchangeEnd::Silent});
    EXPECT_EQ(sent.size(), 2u);

    exchange.AskFor(ReplyKind::DeviceVersion, request, start);
    exchange.Answered(std::nullopt, start);
    EXPECT_EQ(exchange.LastEnd(), ExchangeEnd::Completed);
    EXPECT_EQ(exchange.AnsweredCount(), 1);
}

TEST_F(ExchangeTest, ARequestThatCannotBeSentEndsTheExchangeWithItsError) {
    failure = MidiError::DestinationGone;
    EXPECT_EQ(exchange.AskForPrograms(ReplyKind::ProgramDump, {0, 1}, start),
              MidiError::DestinationGone);
    EXPECT_FALSE(exchange.Waiting());

    failure = MidiError::None;
    exchange.AskForPrograms(ReplyKind::ProgramDump, {0, 1}, start);
    failure = MidiError::NotReady;
    exchange.Answered(0, start);
    EXPECT_FALSE(exchange.Waiting());
    EXPECT_EQ(exchange.LastEnd(), ExchangeEnd::SendFailed);
    EXPECT_EQ(exchange.SendError(), MidiError::NotReady);
    EXPECT_EQ(exchange.MissingSlots(), std::vector<int>{1});
}

TEST_F(ExchangeTest, AnAbandonedReadTakesNoMoreReplies) {
    exchange.AskForPrograms(ReplyKind::ProgramDump, {0, 1, 2}, start);
    exchange.Answered(0, start);
    exchange.Abandon();
    EXPECT_EQ(exchange.Awaited(), ReplyKind::None);
    EXPECT_FALSE(exchange.AwaitsProgram(1));
    exchange.Answered(1, start);
    exchange.Tick(After(start));
    EXPECT_EQ(Asked(), (std::vector<int>{0, 1}));
    EXPECT_EQ(exchange.AnsweredCount(), 1);
    EXPECT_EQ(exchange.MissingSlots(), (std::vector<int>{1, 2}));
    EXPECT_EQ(ends, std::vector<ExchangeEnd>{ExchangeEnd::Abandoned});
}

TEST(ProgramDumpSlot, NamesTheSlotOfAProgramDumpOnly) {
    EXPECT_EQ(ProgramDumpSlot(ProgramDumpMessage(TSoundRecord{}, 2, 127)), 383);
    EXPECT_EQ(ProgramDumpSlot(ProgramDumpMessage(TSoundRecord{}, 3, 0)), std::nullopt);
    EXPECT_EQ(ProgramDumpSlot(ProgramDumpMessage(TSoundRecord{}, 127, 0)), std::nullopt);
    EXPECT_EQ(ProgramDumpSlot(EditBufferDumpMessage(TSoundRecord{})), std::nullopt);
    EXPECT_EQ(ProgramDumpSlot(Bytes{0xF0, 0x01, 0x25, 0x02, 0xF7}), std::nullopt);
}

TEST(SlotRanges, JoinRunsOfNeighbours) {
    EXPECT_EQ(Slots::Ranges({0, 1, 2, 5, 127, 128, 383}), "A001 to A003, A006, A128 to B001, C128");
    EXPECT_EQ(Slots::Ranges({}), "");
}

} // namespace
