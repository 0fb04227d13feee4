#pragma once

#include <rtmidi/RtMidi.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

// One JACK MIDI client talking to an instrument: an output connected to the
// instrument's input and an input connected from its output. Every message
// that arrives is queued whole, SysEx, clock and all.
class JackLink {
public:
    using Bytes = std::vector<std::uint8_t>;

    // Connects to the ports whose names contain `instrument`; throws
    // std::runtime_error when there is not exactly one of each.
    JackLink(const std::string& clientName, const std::string& instrument);

    void Send(std::span<const std::uint8_t> message);
    // The next message received, or nothing after `wait`.
    std::optional<Bytes> Next(std::chrono::milliseconds wait);
    // Sends and returns the first message that comes back.
    std::optional<Bytes> Ask(std::span<const std::uint8_t> request,
                             std::chrono::milliseconds wait = std::chrono::seconds(3));

private:
    static void OnMessage(double, std::vector<unsigned char>* message, void* self);

    RtMidiIn input_;
    RtMidiOut output_;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<Bytes> received_;
    std::vector<unsigned char> sendBuffer_;
};
