#pragma once

#include <chrono>
#include <cstddef>
#include <functional>

// The time a DIN MIDI cable (31,250 baud, 320 us a byte) needs for what was
// sent on it, so senders can hold back what it could not yet carry instead
// of building a queue in front of it.
class DinCable {
public:
    using Clock = std::function<std::chrono::microseconds()>;
    static constexpr std::chrono::microseconds ByteTime{320};

    // The steady clock unless a test gives its own.
    explicit DinCable(Clock clock = {});

    // `bytes` went out now: the cable is busy for their time.
    void Sent(std::size_t bytes);
    // How long until the cable is free; zero when it is.
    std::chrono::microseconds Wait() const;
    bool Free() const { return Wait().count() == 0; }
    std::chrono::microseconds Now() const { return clock_(); }

private:
    Clock clock_;
    std::chrono::microseconds busyUntil_{0};
};
