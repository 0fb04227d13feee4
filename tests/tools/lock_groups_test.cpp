#include "lock_groups.h"

#include "random_generator.h"

#include <gtest/gtest.h>

#include <set>

TEST(LockerChoice, WalksTheLibraryAroundBothWays) {
    struct Case {
        LockerChoice from, next, previous;
    };
    for (const Case& c : {Case{{3, 128}, {1, 1}, {3, 127}}, Case{{1, 1}, {1, 2}, {3, 128}},
                          Case{{1, 128}, {2, 1}, {1, 127}}, Case{{2, 1}, {2, 2}, {1, 128}}}) {
        EXPECT_EQ(NextSound(c.from), c.next) << c.from.bank << " " << c.from.program;
        EXPECT_EQ(PreviousSound(c.from), c.previous) << c.from.bank << " " << c.from.program;
    }
    EXPECT_EQ((LockerChoice{3, 128}).Slot(), Slots::Count - 1);
}

TEST(LockerChoice, RandomDrawsTheProgramThenTheBank) {
    RandomGenerator generator(12345);
    RandomGenerator replay(12345);
    std::set<int> banks;
    for (int i = 0; i < 200; ++i) {
        const LockerChoice choice = RandomSound(generator);
        const int program = static_cast<int>(replay.Random(128)) + 1;
        const int bank = static_cast<int>(replay.Random(3)) + 1;
        EXPECT_EQ(choice, (LockerChoice{bank, program}));
        banks.insert(choice.bank);
    }
    EXPECT_EQ(banks, (std::set<int>{1, 2, 3}));
}
