#pragma once

#include <array>
#include <cstdint>

// Which NRPN number carries which parameter: the sound parameters 0..199 and
// the instrument's ten global settings.

inline constexpr int NrpnParameterCount = 200;

// Entry p is the NRPN number sent when sound parameter p changes.
// Parameters 105..199 use their own number.
extern const std::array<std::uint16_t, NrpnParameterCount> NrpnNumbers;

// The sound parameter an NRPN number sets, or -1 when it sets none. Where two
// parameters share a number (the unused parameters 109..119 and the ones moved
// onto 111..116), the parameter that has a control wins.
int ParameterForNrpn(int nrpn);

// One global setting, in the order of the global parameter dump.
struct GlobalParameter {
    const char* name;
    std::uint16_t nrpn;
    int maximum; // values run 0..maximum
};

inline constexpr int GlobalParameterCount = 10;
extern const std::array<GlobalParameter, GlobalParameterCount> GlobalParameters;

// The position in the global parameter dump of the setting an NRPN number
// sets, or -1 when it sets none.
int GlobalForNrpn(int nrpn);
