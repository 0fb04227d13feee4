// "Copy Sounds" arithmetic: the run of slots a copy fills and the count box.

#include "copy_run.h"

#include "sound_record.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

TEST(CopyRunTest, RunsStopAtC128AndTheCountBoxHoldsANumberUpTo128) {
    const std::tuple<const char*, int, int, int> runs[] = {
        {"B010", 3, 3, 0}, {"A001", 0, 0, 0}, {"C127", 5, 2, 3}, {"C128", 2, 1, 1}};
    for (const auto& [destination, count, made, notMade] : runs) {
        const CopyRun run = PlanCopyRun(Slots::FromCaption(destination), count);
        EXPECT_EQ(std::pair(run.made, run.notMade), std::pair(made, notMade)) << destination;
    }
    const std::pair<const char*, const char*> texts[] = {
        {"300", "128"}, {"", "1"},    {"128", "128"},
        {"007", "007"}, {"12a", "1"}, {"99999999999999999999", "128"}};
    for (const auto& [typed, shown] : texts)
        EXPECT_EQ(CorrectedCountText(typed), shown) << '"' << typed << '"';
    EXPECT_EQ(CountFromText("007"), 7);
}
