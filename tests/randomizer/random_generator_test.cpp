#include "random_generator.h"
#include "schema.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// A moment whose stir draws nothing: 2 January, midnight.
constexpr LocalMoment NoStir{2, 0, 0, 0, 0};

SchemaEntry& Entry(SchemaList& list, std::string_view member) {
    SchemaEntry* entry = list.Find(member);
    EXPECT_NE(entry, nullptr) << member;
    return entry ? *entry : list[0];
}

std::size_t Span(const ParameterBinding& binding) {
    return static_cast<std::size_t>(binding.max - binding.min + 1);
}

} // namespace

TEST(RandomGenerator, FromSeedZeroDrawsTheKnownSequence) {
    RandomGenerator generator(0);
    std::vector<std::uint32_t> draws;
    for (int i = 0; i < 5; ++i)
        draws.push_back(generator.Random(1000));
    EXPECT_EQ(draws, (std::vector<std::uint32_t>{0, 31, 861, 202, 272}));
}

TEST(RandomGenerator, DrawingFromNothingGivesZeroAndStillMovesTheSeed) {
    RandomGenerator generator(0);
    EXPECT_EQ(generator.Random(0), 0u);
    EXPECT_EQ(generator.Seed(), 1u);
    EXPECT_EQ(generator.Random(0), 0u);
    EXPECT_EQ(generator.Seed(), 134775814u);
}

TEST(RandomGenerator, StirDrawsByTheLocalTime) {
    struct Case {
        LocalMoment now;
        int draws;
    };
    const Case cases[] = {
        {{1, 12, 0, 0, 250}, 50}, // (250 + 43200 + 1000) mod 100
        {{2, 0, 0, 0, 0}, 0},     // (0 + 86400 + 1000) mod 100
        {{1, 0, 0, 1, 999}, 0},   // (999 + 1 + 1000) mod 100
        {{32, 0, 0, 0, 1}, 1},    // 1 February: (1 + 31 x 86400 + 1000) mod 100
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StirDrawCount(c.now), c.draws);
        RandomGenerator stirred(77);
        RandomGenerator drawn(77);
        StirGenerator(stirred, c.now);
        for (int i = 0; i < c.draws; ++i)
            drawn.Random(1000);
        EXPECT_EQ(stirred.Seed(), drawn.Seed()) << c.draws;
    }
}

TEST(PickAllowedPosition, WalksToTheDrawnOneOrToTheEnd) {
    struct Case {
        std::string allowed;
        int position;
    };
    const Case cases[] = {
        {"", -1},        {"0", 0},        {"000", 2}, {"1", 0},
        {"0001000", 3},  {"01", 1},       {"10", 0},  {"2x0", 2}, // only "1" allows
        {"00000001", 7}, {"10000000", 0},
    };
    for (const Case& c : cases) {
        RandomGenerator generator(12345);
        EXPECT_EQ(PickAllowedPosition(generator, c.allowed), c.position) << c.allowed;
        EXPECT_EQ(generator.Seed(), 12345u * 134775813u + 1u) << "one draw for " << c.allowed;
    }
}

TEST(PickAllowedPosition, PicksTheDrawnOneAndEachWithTheSameChance) {
    const std::string allowed = "0110010";
    const int ones[] = {1, 2, 5};
    RandomGenerator generator(0);
    int counts[3] = {};
    for (int i = 0; i < 3000; ++i) {
        RandomGenerator preview = generator;
        const auto drawn = preview.Random(3);
        const int position = PickAllowedPosition(generator, allowed);
        ASSERT_EQ(position, ones[drawn]);
        ++counts[drawn];
    }
    for (const int count : counts)
        EXPECT_NEAR(count, 1000, 100);
}

TEST(RandomValueFor, TheSchemaOfAMissingFileGivesMiddleKnobsAndFirstPositions) {
    SchemaList list = ReadSchemaText({}); // every string "0"
    RandomGenerator generator(99);
    for (SchemaEntry& entry : list) {
        const ParameterBinding& binding = entry.Binding();
        const int value = RandomValueFor(entry, generator, NoStir);
        if (binding.kind == ControlKind::Knob) {
            const std::size_t middle = Span(binding) / 2;
            EXPECT_EQ(value, binding.min + static_cast<int>(middle)) << binding.key;
            std::string expected(Span(binding), '0');
            expected[middle] = '1';
            EXPECT_EQ(entry.allowed, expected) << "the middle stays allowed: " << binding.key;
        } else {
            EXPECT_EQ(value, 0) << binding.key; // item 0, LED off, step 0
            EXPECT_EQ(entry.allowed, "0") << binding.key;
        }
    }
    const std::pair<std::string_view, int> middles[] = {
        {"knobOsc1Frequency", 60}, {"knobSubOsc1Level", 64},  {"KnobFilterEnvAmount", 0},
        {"KnobBPMTempo", 140},     {"KnobLFO1Frequency", 83},
    };
    for (const auto& [member, middle] : middles)
        EXPECT_EQ(RandomValueFor(Entry(list, member), generator, NoStir), middle) << member;

    // A save afterwards keeps the middle value.
    std::string level(128, '0');
    level[64] = '1';
    EXPECT_NE(SchemaFileText({}, list).find("\nknobSubOsc1Level         =" + level),
              std::string::npos);
}

// The schema in use before any file is picked: every control, its lowest and
// highest value included, can come out of a press.
TEST(RandomValueFor, TheAnyValueSchemaReachesEachControlsWholeRange) {
    SchemaList list = AnyValueSchema();
    RandomGenerator generator(7);
    for (SchemaEntry& entry : list) {
        const ParameterBinding& binding = entry.Binding();
        const int first = binding.kind == ControlKind::Knob ? binding.min : 0;
        const int last = first + static_cast<int>(Span(binding)) - 1;
        bool sawFirst = false;
        bool sawLast = false;
        for (std::size_t draw = 0; draw < 40 * Span(binding) && !(sawFirst && sawLast); ++draw) {
            const int value = RandomValueFor(entry, generator, NoStir);
            ASSERT_GE(value, first) << binding.key;
            ASSERT_LE(value, last) << binding.key;
            sawFirst = sawFirst || value == first;
            sawLast = sawLast || value == last;
        }
        EXPECT_TRUE(sawFirst && sawLast) << binding.key;
    }
}

TEST(RandomValueFor, FullLengthZeroStringsGiveTheLastPositionExceptForKnobs) {
    SchemaList list;
    for (SchemaEntry& entry : list)
        entry.allowed.assign(Span(entry.Binding()), '0');
    RandomGenerator generator(5);
    for (SchemaEntry& entry : list) {
        const ParameterBinding& binding = entry.Binding();
        const int value = RandomValueFor(entry, generator, NoStir);
        if (binding.kind == ControlKind::Knob)
            EXPECT_EQ(value, binding.min + static_cast<int>(Span(binding) / 2)) << binding.key;
        else
            EXPECT_EQ(value, binding.max) << binding.key; // last item, LED on, 127 or 125
    }
}

TEST(RandomValueFor, KnobsCountFromTheirMinimumAndLedsFollowTheirString) {
    SchemaList list;
    RandomGenerator generator(1);
    SchemaEntry& amount = Entry(list, "KnobFilterEnvAmount"); // -127..127
    amount.allowed = "1";
    EXPECT_EQ(RandomValueFor(amount, generator, NoStir), -127);
    SchemaEntry& tempo = Entry(list, "KnobBPMTempo"); // 30..250
    tempo.allowed = "1";
    EXPECT_EQ(RandomValueFor(tempo, generator, NoStir), 30);

    SchemaEntry& led = Entry(list, "CheckLedFilterPoles");
    std::set<int> seen;
    for (const auto& [allowed, values] :
         {std::pair{"01", std::set<int>{1}}, {"10", {0}}, {"11", {0, 1}}, {"00", {1}}}) {
        led.allowed = allowed;
        seen.clear();
        for (int i = 0; i < 50; ++i)
            seen.insert(RandomValueFor(led, generator, {1, 0, 0, 0, i}));
        EXPECT_EQ(seen, values) << allowed;
    }
}

TEST(RandomValueFor, StirsBeforeItPicks) {
    SchemaList list;
    SchemaEntry& shape = Entry(list, "cmbOsc1Shape");
    shape.allowed = "11111";
    const LocalMoment fifty{1, 12, 0, 0, 250};
    RandomGenerator generator(3);
    RandomGenerator expected(3);
    StirGenerator(expected, fifty);
    const int position = PickAllowedPosition(expected, shape.allowed);
    EXPECT_EQ(RandomValueFor(shape, generator, fifty), position);
    EXPECT_EQ(generator.Seed(), expected.Seed());
}

TEST(RandomValueFor, TheSharedGeneratorReadsTheSharedClock) {
    const GeneratorClock previous = SharedClock();
    SetSharedClock({[] { return 0u; }, [] { return LocalMoment{1, 12, 0, 0, 250}; }});
    RandomGenerator& shared = SharedGenerator();
    EXPECT_EQ(&shared, &SharedGenerator());
    shared.SetSeed(42);
    SchemaList list;
    SchemaEntry& slop = Entry(list, "KnobOscSlop");
    slop.allowed = std::string(Span(slop.Binding()), '1');
    RandomGenerator copy(42);
    SchemaEntry same = slop;
    EXPECT_EQ(RandomValueFor(slop), RandomValueFor(same, copy, {1, 12, 0, 0, 250}));
    EXPECT_EQ(shared.Seed(), copy.Seed());
    SetSharedClock(previous);
}
