#pragma once

#include <cstdint>
#include <optional>

// Reads what the instrument's panel sends on its MIDI channel: parameter
// messages (controllers 99, 98, 6, 38, complete at 38) and program changes.
// Plain controller messages are not taken: the instrument's "Param Send" is
// to be set to NRPN. Messages on other channels are ignored.
class InstrumentReceiver {
public:
    struct Nrpn {
        int number;
        int value;
    };
    struct Received {
        std::optional<Nrpn> nrpn;
        std::optional<int> program; // 0..127
    };

    // One short message (status | data1 << 8 | data2 << 16) on the
    // instrument's channel 0..15.
    Received Take(std::uint32_t message, int channel);

private:
    int numberMsb_ = -1;
    int numberLsb_ = -1;
    int valueMsb_ = -1;
};
