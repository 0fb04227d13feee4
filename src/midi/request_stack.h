#pragma once

#include <array>
#include <cstdint>

// The bank/program pairs still to be requested during a multi-sound read.
// Pushed as bank then program, popped program first; an empty stack pops 255,
// which no request is sent for.
class RequestStack {
public:
    static constexpr int Capacity = 1536;
    static constexpr std::uint8_t Empty = 255;

    // A byte pushed onto a full stack is dropped.
    void PushRequestByte(std::uint8_t byte) {
        if (count_ < Capacity)
            bytes_[static_cast<std::size_t>(count_++)] = byte;
    }
    std::uint8_t PopRequestByte() {
        return count_ == 0 ? Empty : bytes_[static_cast<std::size_t>(--count_)];
    }
    int RequestCount() const { return count_; }
    void ClearRequests() { count_ = 0; }

private:
    std::array<std::uint8_t, Capacity> bytes_{};
    int count_ = 0;
};
