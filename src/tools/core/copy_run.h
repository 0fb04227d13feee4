#pragma once

#include <string>
#include <string_view>

// The arithmetic of "Copy Sound": one sound copied into a run of library slots.

// The highest count the copy window takes: a whole bank.
inline constexpr int MaxCopyCount = 128;

// The slots a run of copies fills: `made` slots from `first` on. The library
// ends at its last slot (C128); copies that would pass it are not made.
struct CopyRun {
    int first = 0;
    int made = 0;
    int notMade = 0;
};

// The run of `count` copies that starts at `destination` (a valid slot).
// A count below 1 makes no copies.
CopyRun PlanCopyRun(int destination, int count);

// What the count box shows after its text became `text`: "128" for a number
// above 128, "1" for anything that is not a number (an empty box), else the
// text itself.
std::string CorrectedCountText(std::string_view text);

// The count a corrected count box holds (0..128).
int CountFromText(std::string_view text);
