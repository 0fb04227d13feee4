#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>

// A bounded queue that any number of threads push to and pop from without
// ever taking a lock or waiting: a MIDI real-time thread may push into it.
// Each cell carries a sequence number that says whose turn it is (the
// bounded queue of Dmitry Vyukov). Capacity must be a power of two.
template <typename T, std::size_t Capacity> class LockFreeQueue {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0,
                  "the capacity is a power of two");

public:
    LockFreeQueue() {
        for (std::size_t i = 0; i < Capacity; ++i)
            cells_[i].sequence.store(i, std::memory_order_relaxed);
    }
    LockFreeQueue(const LockFreeQueue&) = delete;
    LockFreeQueue& operator=(const LockFreeQueue&) = delete;

    // False when the queue is full; the value is then not queued.
    bool TryPush(const T& value) {
        std::size_t position = tail_.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells_[position & (Capacity - 1)];
            const std::size_t sequence = cell.sequence.load(std::memory_order_acquire);
            const auto difference =
                static_cast<std::ptrdiff_t>(sequence) - static_cast<std::ptrdiff_t>(position);
            if (difference == 0) {
                if (tail_.compare_exchange_weak(position, position + 1,
                                                std::memory_order_relaxed)) {
                    cell.value = value;
                    cell.sequence.store(position + 1, std::memory_order_release);
                    return true;
                }
            } else if (difference < 0) {
                return false;
            } else {
                position = tail_.load(std::memory_order_relaxed);
            }
        }
    }

    std::optional<T> TryPop() {
        std::size_t position = head_.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells_[position & (Capacity - 1)];
            const std::size_t sequence = cell.sequence.load(std::memory_order_acquire);
            const auto difference =
                static_cast<std::ptrdiff_t>(sequence) - static_cast<std::ptrdiff_t>(position + 1);
            if (difference == 0) {
                if (head_.compare_exchange_weak(position, position + 1,
                                                std::memory_order_relaxed)) {
                    T value = cell.value;
                    cell.sequence.store(position + Capacity, std::memory_order_release);
                    return value;
                }
            } else if (difference < 0) {
                return std::nullopt;
            } else {
                position = head_.load(std::memory_order_relaxed);
            }
        }
    }

private:
    struct Cell {
        std::atomic<std::size_t> sequence;
        T value{};
    };
    std::array<Cell, Capacity> cells_;
    alignas(64) std::atomic<std::size_t> head_{0};
    alignas(64) std::atomic<std::size_t> tail_{0};
};

// A ring of bytes from one writing thread to one reading thread; neither
// ever waits. Capacity must be a power of two.
template <std::size_t Capacity> class ByteRing {
    static_assert(Capacity >= 2 && (Capacity & (Capacity - 1)) == 0,
                  "the capacity is a power of two");

public:
    // Writer's side.
    std::size_t WriteSpace() const {
        return Capacity -
               (tail_.load(std::memory_order_relaxed) - head_.load(std::memory_order_acquire));
    }
    // Writes `count` bytes; no more than WriteSpace().
    void Write(const std::uint8_t* bytes, std::size_t count) {
        const std::size_t tail = tail_.load(std::memory_order_relaxed);
        for (std::size_t i = 0; i < count; ++i)
            bytes_[(tail + i) & (Capacity - 1)] = bytes[i];
        tail_.store(tail + count, std::memory_order_release);
    }

    // Reader's side.
    std::size_t ReadSpace() const {
        return tail_.load(std::memory_order_acquire) - head_.load(std::memory_order_relaxed);
    }
    // Copies `count` bytes without taking them; no more than ReadSpace().
    void Peek(std::uint8_t* bytes, std::size_t count) const {
        const std::size_t head = head_.load(std::memory_order_relaxed);
        for (std::size_t i = 0; i < count; ++i)
            bytes[i] = bytes_[(head + i) & (Capacity - 1)];
    }
    void Skip(std::size_t count) {
        head_.store(head_.load(std::memory_order_relaxed) + count, std::memory_order_release);
    }
    void Read(std::uint8_t* bytes, std::size_t count) {
        Peek(bytes, count);
        Skip(count);
    }

private:
    std::array<std::uint8_t, Capacity> bytes_{};
    alignas(64) std::atomic<std::size_t> head_{0};
    alignas(64) std::atomic<std::size_t> tail_{0};
};
