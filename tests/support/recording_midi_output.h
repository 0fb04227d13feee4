#pragma once

#include "midi_output.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

// A MidiOutput that keeps everything sent to it, for tests.
class RecordingMidiOutput : public MidiOutput {
public:
    std::vector<std::vector<std::uint8_t>> longMessages;
    std::vector<std::uint32_t> shortMessages;
    int resetCount = 0;

    void SendLongMessage(std::span<const std::uint8_t> bytes) override {
        longMessages.emplace_back(bytes.begin(), bytes.end());
    }
    void SendShortMessage(std::uint32_t message) override { shortMessages.push_back(message); }
    void ResetMidiOut() override { ++resetCount; }

    // The short messages as their three bytes each: status, data 1, data 2.
    std::vector<std::array<std::uint8_t, 3>> ShortMessageBytes() const {
        std::vector<std::array<std::uint8_t, 3>> result;
        for (std::uint32_t message : shortMessages)
            result.push_back({static_cast<std::uint8_t>(message & 0xFF),
                              static_cast<std::uint8_t>((message >> 8) & 0xFF),
                              static_cast<std::uint8_t>((message >> 16) & 0xFF)});
        return result;
    }
    // The short messages as ShortMessageBytes gives them, forgotten once taken.
    std::vector<std::array<std::uint8_t, 3>> TakeShortMessageBytes() {
        auto taken = ShortMessageBytes();
        shortMessages.clear();
        return taken;
    }
    bool Empty() const { return longMessages.empty() && shortMessages.empty() && resetCount == 0; }
};
