#pragma once

#include "parameter_binding.h"

#include <array>
#include <span>
#include <string_view>

// The editor's sections: the randomize button of each group box with the
// controls it draws, in drawing order, and the start values "Init Sound"
// gives each section.

struct SectionRandomizer {
    std::string_view button;  // object name, "btnRandomizeOsc1"
    std::string_view caption; // "Randomize Osc1"
    std::string_view group;   // the group box it sits in, "Oscillator 1"
    // Its controls in drawing order. The pulse-width knob is drawn only
    // when the shape just drawn is "Pulse Wave".
    std::span<const ControlRef> controls;
};
inline constexpr int SectionRandomizerCount = 17;
extern const std::array<SectionRandomizer, SectionRandomizerCount> SectionRandomizers;

// The composite buttons of the editor's top panel and the sections each runs.
struct CompositeRandomizer {
    std::string_view button;                    // "btnRandomizeOscillators"
    std::string_view caption;                   // "Randomize Oscillators (Ctrl+1)"
    int key;                                    // the digit that runs it with Ctrl: 1..6, 0
    std::span<const std::string_view> sections; // section buttons, in order
};
inline constexpr int CompositeRandomizerCount = 7;
extern const std::array<CompositeRandomizer, CompositeRandomizerCount> CompositeRandomizers;

// One start value: a control's value (LED 0/1, list item, knob position).
struct StartValue {
    ControlRef control;
    int value;
};
// InitOscillatorValues, InitFilterValues, InitEnvelopeValues, InitLfoValues,
// InitMatrixValues in the order "Init Sound" sets them, each in its own order.
std::span<const StartValue> InitSoundValues();
// InitArpValues: belongs to no button.
std::span<const StartValue> InitArpValues();
