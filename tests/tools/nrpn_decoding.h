#pragma once

#include "support/recording_midi_output.h"

#include <utility>
#include <vector>

// The NRPN parameter changes among the short messages sent (controllers 99,
// 98, 6, 38 in turn), as (parameter, value) pairs; forgotten once taken.
// Anything else sent is returned as parameter -1.
inline std::vector<std::pair<int, int>> TakeNrpns(RecordingMidiOutput& out) {
    const auto bytes = out.TakeShortMessageBytes();
    std::vector<std::pair<int, int>> changes;
    for (std::size_t i = 0; i < bytes.size(); i += 4) {
        const bool nrpn = i + 3 < bytes.size() && bytes[i][0] == 0xB0 && bytes[i][1] == 99 &&
                          bytes[i + 1][1] == 98 && bytes[i + 2][1] == 6 && bytes[i + 3][1] == 38;
        if (!nrpn) {
            changes.emplace_back(-1, -1);
            continue;
        }
        changes.emplace_back(bytes[i][2] * 128 + bytes[i + 1][2],
                             bytes[i + 2][2] * 128 + bytes[i + 3][2]);
    }
    return changes;
}
