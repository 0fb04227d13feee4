#pragma once

#include "midi_service.h"

#include <atomic>
#include <mutex>
#include <vector>

// What every input does with the messages its platform delivers: short
// messages go to the callback, a complete SysEx message fills the queued
// receive buffer. Incomplete or malformed SysEx never reaches the callback.
class MidiInputPort {
public:
    explicit MidiInputPort(MidiService::InputCallback callback);

    void Start() { started_ = true; }
    void Stop() { started_ = false; }

    void QueueBuffer(std::uint8_t* buffer, std::size_t size);
    bool ReleaseBuffer(); // false while a buffer is queued
    std::size_t ReceivedBytes() const;

    // One whole message as the platform delivered it (any thread).
    void Deliver(std::span<const std::uint8_t> message);

private:
    void DeliverSysEx(std::span<const std::uint8_t> message);

    MidiService::InputCallback callback_;
    std::atomic<bool> started_{false};
    mutable std::mutex mutex_;
    std::uint8_t* buffer_ = nullptr;
    std::size_t size_ = 0;
    std::size_t received_ = 0;
};

// Packs one to three message bytes the way short messages travel.
std::uint32_t PackedShortMessage(std::span<const std::uint8_t> bytes);
// The bytes of a packed short message: its length follows from the status.
std::vector<std::uint8_t> ShortMessageBytes(std::uint32_t packed);
// Splits a run of SysEx messages after each F7, for platforms that cannot
// send a long buffer as one event.
std::vector<std::span<const std::uint8_t>>
SplitAfterEndOfExclusive(std::span<const std::uint8_t> bytes);
