#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

// NRPN messages on channel 1 as RecordingMidiOutput::ShortMessageBytes gives
// them: four controller messages, the number's high and low seven bits
// (controllers 99 and 98), then the value's (6 and 38).
using ControllerMessage = std::array<std::uint8_t, 3>;

// The four messages that set NRPN `number` to `value`.
inline std::vector<ControllerMessage> NrpnMessages(int number, int value) {
    const auto seven = [](int bits) { return static_cast<std::uint8_t>(bits & 0x7F); };
    return {{0xB0, 99, seven(number >> 7)},
            {0xB0, 98, seven(number)},
            {0xB0, 6, seven(value >> 7)},
            {0xB0, 38, seven(value)}};
}

// Number and value of each NRPN in `messages`, in order; an NRPN counts when
// its value's low byte arrives. Other messages are passed over.
inline std::vector<std::pair<int, int>> NrpnsIn(const std::vector<ControllerMessage>& messages) {
    std::vector<std::pair<int, int>> nrpns;
    int numberHigh = 0, numberLow = 0, valueHigh = 0;
    for (const ControllerMessage& message : messages) {
        if (message[0] != 0xB0)
            continue;
        switch (message[1]) {
        case 99:
            numberHigh = message[2];
            break;
        case 98:
            numberLow = message[2];
            break;
        case 6:
            valueHigh = message[2];
            break;
        case 38:
            nrpns.emplace_back(numberHigh << 7 | numberLow, valueHigh << 7 | message[2]);
            break;
        }
    }
    return nrpns;
}
