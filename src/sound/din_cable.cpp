#include "din_cable.h"

#include <algorithm>
#include <utility>

DinCable::DinCable(Clock clock) : clock_(std::move(clock)) {
    if (!clock_)
        clock_ = [] {
            return std::chrono::duration_cast<std::chrono::microseconds>(
                std::chrono::steady_clock::now().time_since_epoch());
        };
}

void DinCable::Sent(std::size_t bytes) {
    const auto start = std::max(clock_(), busyUntil_);
    busyUntil_ = start + ByteTime * static_cast<long long>(bytes);
}

std::chrono::microseconds DinCable::Wait() const {
    return std::max(std::chrono::microseconds{0}, busyUntil_ - clock_());
}
