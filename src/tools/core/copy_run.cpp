#include "copy_run.h"

#include "sound_record.h"

#include <algorithm>

CopyRun PlanCopyRun(int destination, int count) {
    CopyRun run;
    run.first = destination;
    if (count <= 0)
        return run;
    if (!Slots::IsValid(destination)) {
        run.notMade = count;
        return run;
    }
    run.made = std::min(count, Slots::Count - destination);
    run.notMade = count - run.made;
    return run;
}

namespace {
bool IsNumber(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}
} // namespace

std::string CorrectedCountText(std::string_view text) {
    if (!IsNumber(text))
        return "1";
    // Digits only: compared without converting, so no length overflows.
    const std::string_view digits = text.substr(std::min(text.find_first_not_of('0'), text.size()));
    const std::string_view limit = "128";
    if (digits.size() > limit.size() || (digits.size() == limit.size() && digits > limit))
        return std::string(limit);
    return std::string(text);
}

int CountFromText(std::string_view text) {
    const std::string corrected = CorrectedCountText(text);
    int count = 0;
    for (char digit : corrected)
        count = std::min(count * 10 + (digit - '0'), MaxCopyCount);
    return count;
}
