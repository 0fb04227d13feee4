#include "morph.h"

#include "parameter_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace {

using namespace std::chrono_literals;

TSoundRecord SoundWithAll(std::uint8_t value) {
    TSoundRecord sound;
    for (int p = 0; p < SoundLayout::ParameterCount; ++p)
        sound[SoundLayout::ParameterByte(p)] = value;
    return sound;
}

const MorphMessage* Find(const std::vector<MorphMessage>& messages, int parameter) {
    const auto it = std::find_if(messages.begin(), messages.end(),
                                 [&](const MorphMessage& m) { return m.parameter == parameter; });
    return it == messages.end() ? nullptr : &*it;
}

} // namespace

TEST(MorphValue, RoundsTowardsMinusInfinity) {
    struct Case {
        int a, b, m, expected;
    };
    for (const Case& c : {Case{10, 3, 50, 6}, Case{0, 255, 1, 2}, Case{255, 0, 1, 252},
                          Case{3, 10, 50, 6}, Case{7, 7, 33, 7}, Case{0, 255, 0, 0},
                          Case{0, 255, 100, 255}, Case{255, 0, 100, 0}, Case{200, 0, 99, 2}})
        EXPECT_EQ(MorphValue(c.a, c.b, c.m), c.expected) << c.a << " " << c.b << " " << c.m;
}

TEST(MorphValue, OscillatorsStayInTuneUnlessFine) {
    // Frequencies 24 and 31 morph as 24 at every position; fine tune is centred.
    for (int m = 0; m <= 100; ++m) {
        EXPECT_EQ(MorphedParameter(0, 24, 31, m, false), 24) << m;
        EXPECT_EQ(MorphedParameter(6, 31, 24, m, false), 24) << m;
        EXPECT_EQ(MorphedParameter(1, 0, 100, m, false), 50) << m;
        EXPECT_EQ(MorphedParameter(7, 100, 0, m, false), 50) << m;
    }
    EXPECT_EQ(MorphedParameter(0, 24, 31, 50, true), 27);
    EXPECT_EQ(MorphedParameter(1, 0, 100, 30, true), 30);
    // Only those four parameters are rounded.
    EXPECT_EQ(MorphedParameter(2, 24, 31, 50, false), 27);
}

TEST(MorphSends, EveryParameterWithAControlAndNoOther) {
    for (int p = 0; p < MorphParameterCount; ++p) {
        const bool noControl = p >= 109 && p <= 119;
        EXPECT_EQ(MorphSends(p), !noControl) << p;
    }
}

TEST(SoundMorph, SendsOnlyWhatChanged) {
    TSoundRecord a = SoundWithAll(0);
    TSoundRecord b = SoundWithAll(100);
    SoundMorph morph;

    // The first step sends every parameter with a control, in order, by its NRPN number.
    const auto first = morph.Step(a, b, 40, false);
    ASSERT_EQ(first.size(), static_cast<std::size_t>(MorphParameterCount - 11));
    for (const MorphMessage& message : first) {
        EXPECT_TRUE(MorphSends(message.parameter)) << message.parameter;
        EXPECT_EQ(message.number, NrpnNumbers[static_cast<std::size_t>(message.parameter)]);
    }
    EXPECT_TRUE(std::is_sorted(first.begin(), first.end(),
                               [](auto& x, auto& y) { return x.parameter < y.parameter; }));

    // 40 -> 41: only parameters whose value moved. Give some a span that does not.
    for (int p : {20, 21})
        b[SoundLayout::ParameterByte(p)] = 1; // 0 + floor(1 * m / 100) stays 0
    morph.ForgetSent();
    morph.Step(a, b, 40, false);
    const auto next = morph.Step(a, b, 41, false);
    EXPECT_EQ(Find(next, 20), nullptr);
    EXPECT_EQ(Find(next, 21), nullptr);
    EXPECT_EQ(Find(next, 0), nullptr); // 36 -> 36 (41 -> 36 as octave)
    EXPECT_EQ(Find(next, 1), nullptr); // fine tune stays 50
    ASSERT_NE(Find(next, 30), nullptr);
    EXPECT_EQ(Find(next, 30)->value, 41);
    for (int p = 109; p <= 119; ++p)
        EXPECT_EQ(Find(first, p), nullptr) << p;

    // The same position again sends nothing; forgetting resends everything.
    EXPECT_TRUE(morph.Step(a, b, 41, false).empty());
    morph.ForgetSent();
    EXPECT_EQ(morph.Step(a, b, 41, false).size(), first.size());
}

TEST(SoundMorph, SameSoundTwiceSendsNothingAfterTheFirstStep) {
    TSoundRecord sound = SoundWithAll(77);
    sound[SoundLayout::ParameterByte(0)] = 30;
    SoundMorph morph;
    const auto first = morph.Step(sound, sound, 0, false);
    EXPECT_EQ(Find(first, 0)->value, 24);
    EXPECT_EQ(Find(first, 1)->value, 50);
    for (int m = 1; m <= 100; ++m)
        EXPECT_TRUE(morph.Step(sound, sound, m, false).empty()) << m;
}

TEST(SoundMorph, DetuneToggleResendsThenMorphsFreely) {
    TSoundRecord a = SoundWithAll(10);
    TSoundRecord b = SoundWithAll(10);
    a[SoundLayout::ParameterByte(0)] = 24;
    b[SoundLayout::ParameterByte(0)] = 31;
    SoundMorph morph;
    morph.Step(a, b, 50, false);
    morph.ForgetSent(); // the box toggled
    const auto fine = morph.Step(a, b, 50, true);
    EXPECT_EQ(fine.size(), static_cast<std::size_t>(MorphParameterCount - 11));
    EXPECT_EQ(Find(fine, 0)->value, 27);
    EXPECT_EQ(Find(fine, 1)->value, 10);
}

TEST(SoundMorph, ValueTwoHundredFiftyFiveIsSentToo) {
    // 255 is a value, not a mark for "not sent".
    const TSoundRecord sound = SoundWithAll(255);
    SoundMorph morph;
    const auto messages = morph.Step(sound, sound, 0, true);
    ASSERT_NE(Find(messages, 30), nullptr);
    EXPECT_EQ(Find(messages, 30)->value, 255);
}

TEST(MorphPacer, FastMovesWaitForTheCableAndOnlyTheLastGoesOut) {
    std::chrono::microseconds now{1'000'000};
    MorphPacer pacer([&] { return now; });
    const std::size_t step = 200 * MorphMessageBytes; // 2,400 bytes: 768 ms
    ASSERT_TRUE(pacer.Offer(0));
    pacer.Sent(step);
    EXPECT_EQ(pacer.Wait(), 768ms);

    // A drag while the step is on the cable: each position replaces the last.
    for (int position = 1; position <= 60; ++position) {
        now += 5ms;
        EXPECT_FALSE(pacer.Offer(position));
        EXPECT_EQ(pacer.Waiting(), position);
    }
    EXPECT_EQ(pacer.TakeDue(), std::nullopt); // still on the cable
    now = std::chrono::microseconds{1'000'000} + 768ms;
    EXPECT_EQ(pacer.Wait(), 0ms);
    EXPECT_EQ(pacer.TakeDue(), 60);
    EXPECT_EQ(pacer.Waiting(), std::nullopt);
    EXPECT_EQ(pacer.TakeDue(), std::nullopt);

    // A step that sent nothing keeps the cable free.
    pacer.Sent(0);
    EXPECT_TRUE(pacer.Offer(61));
    // Bytes sent back to back queue on the cable.
    pacer.Sent(100);
    pacer.Sent(100);
    EXPECT_EQ(pacer.Wait(), 64ms);
    EXPECT_FALSE(pacer.Offer(62));
    EXPECT_EQ(pacer.TakeWaiting(), 62);
}
