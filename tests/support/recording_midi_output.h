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
    // Anything else: every send is refused with it and nothing is kept.
    MidiError failure = MidiError::None;

    MidiError SendLongMessage(std::span<const std::uint8_t> bytes) override {
        if (failure == MidiError::None)
            longMessages.emplace_back(bytes.begin(), bytes.end());
        return failure;
    }
    MidiError SendShortMessage(std::uint32_t message) override {
        if (failure == MidiError::None)
            shortMessages.push_back(message);
        return failure;
    }
    MidiError SendShortMessages(std::span<const std::uint32_t> messages) override {
        if (failure == MidiError::None)
            shortMessages.insert(shortMessages.end(), messages.begin(), messages.end());
        return failure;
    }
    MidiError ResetMidiOut() override {
        ++resetCount;
        return failure;
    }

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
