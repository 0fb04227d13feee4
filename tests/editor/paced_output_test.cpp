#include "nrpn_receiver.h"
#include "paced_output.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using namespace std::chrono_literals;
using Nrpn = EditSession::Nrpn;

// A port that records what it sends and refuses while told to.
struct RecordingPort : NrpnPort {
    std::vector<std::pair<int, int>> sent;
    std::string refusal;
    std::string SendNrpn(int number, int value) override {
        if (refusal.empty())
            sent.emplace_back(number, value);
        return refusal;
    }
};

struct PacedOutputTest : testing::Test {
    std::chrono::microseconds now{1'000'000};
    RecordingPort port;
    PacedOutput output{port, [this] { return now; }};
};
} // namespace

TEST_F(PacedOutputTest, AChangeGoesOutAtOnceAndLaterOnesMergeWhileTheCableIsBusy) {
    output.Queue({{21, 21, 10}});
    EXPECT_EQ(output.Pump(), std::nullopt);
    EXPECT_EQ(port.sent, (std::vector<std::pair<int, int>>{{21, 10}}));

    // A wheel spin while the first message is on the cable: one message per
    // parameter waits, in the order first asked for, with its newest value.
    for (int value = 11; value < 40; ++value)
        output.Queue({{21, 21, value}, {20, 20, value * 2}});
    EXPECT_EQ(output.WaitingCount(), 2u);
    EXPECT_EQ(output.Pump(), 12 * 320us);

    now += 12 * 320us;
    EXPECT_EQ(output.Pump(), 12 * 320us); // one message per 3.84 ms
    now += 12 * 320us;
    EXPECT_EQ(output.Pump(), std::nullopt);
    EXPECT_EQ(port.sent, (std::vector<std::pair<int, int>>{{21, 10}, {21, 39}, {20, 78}}));
}

TEST_F(PacedOutputTest, ARefusedMessageStaysFirstAndIsReportedOnce) {
    port.refusal = "the port is not open";
    output.Queue({{21, 21, 10}, {20, 20, 5}});
    output.Pump();
    output.Queue({{21, 21, 11}});
    output.Pump();
    EXPECT_EQ(output.TakeFailure(), "the port is not open");
    EXPECT_EQ(output.TakeFailure(), std::nullopt);
    output.Pump();
    EXPECT_EQ(output.TakeFailure(), std::nullopt);
    EXPECT_FALSE(output.Flush());

    port.refusal.clear();
    EXPECT_TRUE(output.Flush());
    EXPECT_EQ(port.sent, (std::vector<std::pair<int, int>>{{21, 11}, {20, 5}}));
    // After a success, the next run of refusals is reported again.
    port.refusal = "the MIDI server stopped";
    output.Queue({{22, 22, 1}});
    output.Flush();
    EXPECT_EQ(output.TakeFailure(), "the MIDI server stopped");
}

TEST_F(PacedOutputTest, WhatWentOutLatelyComesBackAsAnEcho) {
    output.Queue({{21, 21, 10}});
    output.Flush();
    output.Queue({{21, 21, 11}});
    output.Flush();
    EXPECT_TRUE(output.IsEcho(21, 10));
    EXPECT_TRUE(output.IsEcho(21, 11));
    EXPECT_FALSE(output.IsEcho(21, 12));
    EXPECT_FALSE(output.IsEcho(20, 10));
    now += 2s;
    EXPECT_FALSE(output.IsEcho(21, 11));
}

TEST(InstrumentReceiver, ReadsParameterMessagesAndProgramChangesOnItsChannelOnly) {
    InstrumentReceiver receiver;
    const auto cc = [](int channel, int controller, int value) {
        return static_cast<std::uint32_t>((0xB0 + channel) | controller << 8 | value << 16);
    };
    // NRPN 15 = 140 on channel 2 (1): 99 0, 98 15, 6 1, 38 12.
    for (const std::uint32_t message : {cc(1, 99, 0), cc(1, 98, 15), cc(1, 6, 1)})
        EXPECT_FALSE(receiver.Take(message, 1).nrpn);
    const auto nrpn = receiver.Take(cc(1, 38, 12), 1).nrpn;
    ASSERT_TRUE(nrpn);
    EXPECT_EQ(nrpn->number, 15);
    EXPECT_EQ(nrpn->value, 140);

    EXPECT_FALSE(receiver.Take(cc(0, 38, 12), 1).nrpn); // another channel
    EXPECT_FALSE(receiver.Take(cc(1, 74, 12), 1).nrpn); // a plain controller
    EXPECT_EQ(receiver.Take(0xC1 | 5 << 8, 1).program, 5);
    EXPECT_FALSE(receiver.Take(0xC0 | 5 << 8, 1).program);
}
