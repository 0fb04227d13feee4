#include "sound_sections.h"

#include <gtest/gtest.h>

namespace {

TSoundRecord Filled(std::uint8_t value) {
    TSoundRecord sound;
    sound.Bytes.fill(value);
    return sound;
}

} // namespace

TEST(LockGroups, CoverZeroTo108AndTheStepsOnceEach) {
    for (int p = 0; p < SoundLayout::ParameterCount; ++p) {
        int holders = 0;
        for (const LockGroup& group : LockGroups)
            holders += group.Holds(p) ? 1 : 0;
        const bool grouped = p <= 108 || (p >= 120 && p <= 183);
        EXPECT_EQ(holders, grouped ? 1 : 0) << p;
    }
    EXPECT_EQ(LockGroups[19].caption, "Lock Assignable Paramaters");
    EXPECT_TRUE(LockGroups[15].Holds(101) && LockGroups[15].Holds(120) &&
                LockGroups[15].Holds(135));
}

TEST(MergeUnlocked, TakesUnlockedSectionsAndKeepsTheRest) {
    const TSoundRecord working = Filled(1);
    const TSoundRecord donor = Filled(2);

    // No box: every grouped parameter from the donor; 109..119, the name,
    // the rest of the record and the header stay.
    const TSoundRecord open = MergeUnlocked(working, donor, LockedGroups{});
    for (int byte = 0; byte < TSoundRecord::Size; ++byte) {
        const int p = byte - SoundLayout::HeaderSize;
        const bool grouped = p >= 0 && (p <= 108 || (p >= 120 && p <= 183));
        EXPECT_EQ(open[byte], grouped ? 2 : 1) << "byte " << byte;
    }

    // Every box: nothing changes.
    LockedGroups all{};
    all.fill(true);
    EXPECT_EQ(MergeUnlocked(working, donor, all), working);

    // One box: that group only stays.
    LockedGroups filter{};
    filter[3] = true;
    const TSoundRecord merged = MergeUnlocked(working, donor, filter);
    for (int p = 18; p <= 33; ++p)
        EXPECT_EQ(merged[SoundLayout::ParameterByte(p)], p >= 20 && p <= 31 ? 1 : 2) << p;
}
