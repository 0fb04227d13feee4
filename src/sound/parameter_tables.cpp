#include "parameter_tables.h"

// clang-format off
const std::array<std::uint16_t, NrpnParameterCount> NrpnNumbers = {
    // 0..11: oscillators 1 and 2 (the sub-oscillator levels sit on 114, 115)
    0, 1, 2, 3, 4, 114, 5, 6, 7, 8, 9, 115,
    // 12..19: oscillators common
    10, 11, 12, 93, 96, 13, 14, 116,
    // 20..31: filter
    15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26,
    // 32..40: amplifier (28 is not used)
    27, 30, 31, 32, 33, 34, 35, 36, 29,
    // 41..60: LFOs 1..4
    37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56,
    // 61..69: envelope 3
    57, 58, 59, 60, 61, 62, 63, 64, 98,
    // 70..81: modulation matrix
    65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 75, 76,
    // 82..91: controller modulation
    81, 82, 83, 84, 85, 86, 87, 88, 89, 90,
    // 92..96: push it switch and clock
    111, 112, 113, 91, 92,
    // 97..104: arpeggiator and sequencer
    97, 100, 94, 101, 77, 78, 79, 80,
    // 105..199: the parameter's own number
    105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119,
    120, 121, 122, 123, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 135,
    136, 137, 138, 139, 140, 141, 142, 143, 144, 145, 146, 147, 148, 149, 150, 151,
    152, 153, 154, 155, 156, 157, 158, 159, 160, 161, 162, 163, 164, 165, 166, 167,
    168, 169, 170, 171, 172, 173, 174, 175, 176, 177, 178, 179, 180, 181, 182, 183,
    184, 185, 186, 187, 188, 189, 190, 191, 192, 193, 194, 195, 196, 197, 198, 199,
};

const std::array<GlobalParameter, GlobalParameterCount> GlobalParameters = {{
    {"Transpose", 384, 24},
    {"Fine Tune", 385, 100},
    {"MIDI Channel", 386, 16},
    {"Clock", 388, 3},
    {"Parameter Send", 390, 2},
    {"Parameter Receive", 391, 3},
    {"MIDI Controller", 394, 1},
    {"MIDI SysEx", 395, 1},
    {"Audio Out", 305, 1},
    {"MIDI Out Select", 406, 1},
}};
// clang-format on

int ParameterForNrpn(int nrpn) {
    // The first match is the bound parameter: 0..108 come before 109..119.
    for (int p = 0; p < NrpnParameterCount; ++p) {
        if (NrpnNumbers[static_cast<std::size_t>(p)] == nrpn)
            return p;
    }
    return -1;
}

int GlobalForNrpn(int nrpn) {
    for (int i = 0; i < GlobalParameterCount; ++i) {
        if (GlobalParameters[static_cast<std::size_t>(i)].nrpn == nrpn)
            return i;
    }
    return -1;
}
