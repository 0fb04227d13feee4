#include "parameter_binding.h"

#include "note_names.h"

#include "parameter_tables.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {
using enum ControlKind;
using enum ValueList;
using enum ValueDisplay;
} // namespace

const std::array<std::string_view, EditorPageCount> EditorPageNames = {
    "Oscillators, Filter, VCA",
    "LFOs, Envelope3, Modulations",
    "Mod Parameters, Push It Switch, Clock Parameters, Assignables",
    "Apreggiator",
};

// Columns: schema key, kind, parameter, min, max, offset, display, list, caption,
// group, page, "R" button.
// clang-format off
const std::array<ParameterBinding, BoundControlCount> ParameterBindings = {{
    {"cmbOsc1Shape", List, 2, 0, 4, 0, Plain, OscillatorShape, "", "Oscillator 1", 0, "btnShape1"},
    {"CheckLedOsc1Keyboard", Led, 4, 0, 1, 0, Plain, None, "Keyboard", "Oscillator 1", 0, "btnLimitWT1"},
    {"knobOsc1Frequency", Knob, 0, 0, 120, 0, Note, None, "Frequency", "Oscillator 1", 0, "btnOctave1"},
    {"knobOsc1Fine", Knob, 1, -50, 50, 50, Signed, None, "Fine", "Oscillator 1", 0, "BitBtn1"},
    {"knobOsc1Pulsewidth", Knob, 2, 0, 99, 0, Plain, None, "Pulse width", "Oscillator 1", 0, "BitBtn2"},
    {"knobOsc1Glide", Knob, 3, 0, 127, 0, Plain, None, "Glide", "Oscillator 1", 0, "BitBtn3"},
    {"knobSubOsc1Level", Knob, 5, 0, 127, 0, Plain, None, "SubOsc Lev", "Oscillator 1", 0, "BitBtn4"},
    {"cmbOsc2Shape", List, 8, 0, 4, 0, Plain, OscillatorShape, "", "Oscillator 2", 0, "BitBtn5"},
    {"CheckLedOsc2Keyboard", Led, 10, 0, 1, 0, Plain, None, "Keyboard", "Oscillator 2", 0, "BitBtn7"},
    {"knobOsc2Frequency", Knob, 6, 0, 120, 0, Note, None, "Frequency", "Oscillator 2", 0, "BitBtn6"},
    {"knobOsc2Fine", Knob, 7, -50, 50, 50, Signed, None, "Fine", "Oscillator 2", 0, "BitBtn8"},
    {"knobOsc2Pulsewidth", Knob, 8, 0, 99, 0, Plain, None, "Pulse width", "Oscillator 2", 0, "BitBtn9"},
    {"knobOsc2Glide", Knob, 9, 0, 127, 0, Plain, None, "Glide", "Oscillator 2", 0, "BitBtn10"},
    {"knobSubOsc2Level", Knob, 11, 0, 127, 0, Plain, None, "SubOsc Lev", "Oscillator 2", 0, "BitBtn11"},
    {"cmbGlideMode", List, 13, 0, 3, 0, Plain, GlideMode, "", "Oscillators Common", 0, "BitBtn12"},
    {"cmbKeyAssignMode", List, 16, 0, 5, 0, Plain, KeyAssignMode, "", "Oscillators Common", 0, "BitBtn18"},
    {"KnobOscSlop", Knob, 14, 0, 5, 0, Plain, None, "Osc Slop", "Oscillators Common", 0, "BitBtn13"},
    {"KnobPitchBendRange", Knob, 15, 0, 12, 0, Plain, None, "Pitch Bend Range", "Oscillators Common", 0, "BitBtn15"},
    {"KnobOsc12Mix", Knob, 17, 0, 127, 0, Plain, None, "Osc 1-2 Mix", "Oscillators Common", 0, "BitBtn16"},
    {"KnobNoiseLevel", Knob, 18, 0, 127, 0, Plain, None, "Noise Level", "Oscillators Common", 0, "BitBtn17"},
    {"KnobExtAudioInputLevel", Knob, 19, 0, 127, 0, Plain, None, "Ext Audio Input Level", "Oscillators Common", 0, "BitBtn19"},
    {"CheckLedSync2ro1", Led, 12, 0, 1, 0, Plain, None, "Sync 2 -> 1", "Oscillators Common", 0, "BitBtn14"},
    {"KnobFilterFrequency", Knob, 20, 0, 164, 0, Plain, None, "Frequency", "Filter", 0, "BitBtn20"},
    {"KnobFilterResonance", Knob, 21, 0, 127, 0, Plain, None, "Resonance", "Filter", 0, "BitBtn22"},
    {"KnobFilterKeybAmount", Knob, 22, 0, 127, 0, Plain, None, "Keyb Amount", "Filter", 0, "BitBtn23"},
    {"KnobFilterAudioMod", Knob, 23, 0, 127, 0, Plain, None, "Audio Mod", "Filter", 0, "BitBtn24"},
    {"CheckLedFilterPoles", Led, 24, 0, 1, 0, Plain, None, "4-pole", "Filter", 0, "BitBtn21"},
    {"KnobFilterEnvAmount", Knob, 25, -127, 127, 127, Signed, None, "Env Amount", "Filter", 0, "BitBtn27"},
    {"KnobFilterEnvVeloAmount", Knob, 26, 0, 127, 0, Plain, None, "Env Velo Amount", "Filter", 0, "BitBtn25"},
    {"KnobFilterEnvDelay", Knob, 27, 0, 127, 0, Plain, None, "Env Delay", "Filter", 0, "BitBtn26"},
    {"KnobFilterEnvAttack", Knob, 28, 0, 127, 0, Plain, None, "Env Attack", "Filter", 0, "BitBtn31"},
    {"KnobFilterDecay", Knob, 29, 0, 127, 0, Plain, None, "Env Decay", "Filter", 0, "BitBtn28"},
    {"KnobFilterEnvSustain", Knob, 30, 0, 127, 0, Plain, None, "Env Sustain", "Filter", 0, "BitBtn29"},
    {"KnobFilterEnvRelease", Knob, 31, 0, 127, 0, Plain, None, "Env Release", "Filter", 0, "BitBtn30"},
    {"KnobVCAInitialLevel", Knob, 32, 0, 127, 0, Plain, None, "Initial Level", "VCA", 0, "BitBtn32"},
    {"KnobVCAEnvAmount", Knob, 33, 0, 127, 0, Plain, None, "Env Amount", "VCA", 0, "BitBtn34"},
    {"KnobVCAEnvVeloAmount", Knob, 34, 0, 127, 0, Plain, None, "Env Velo Amount", "VCA", 0, "BitBtn35"},
    {"KnobVCAEnvDelay", Knob, 35, 0, 127, 0, Plain, None, "Env Delay", "VCA", 0, "BitBtn36"},
    {"KnobVCAEnvAttack", Knob, 36, 0, 127, 0, Plain, None, "Env Attack", "VCA", 0, "BitBtn37"},
    {"KnobVCAEnvDecay", Knob, 37, 0, 127, 0, Plain, None, "Env Decay", "VCA", 0, "BitBtn38"},
    {"KnobVCAEnvSustain", Knob, 38, 0, 127, 0, Plain, None, "Env Sustain", "VCA", 0, "BitBtn39"},
    {"KnobVCAEnvRelease", Knob, 39, 0, 127, 0, Plain, None, "Env Release", "VCA", 0, "BitBtn43"},
    {"KnobVCAVoiceVolume", Knob, 40, 0, 127, 0, Plain, None, "Voice Volume", "VCA", 0, "BitBtn40"},
    {"cmbLFO1Shape", List, 42, 0, 4, 0, Plain, LfoShape, "", "LFOs", 1, "BitBtn161"},
    {"KnobLFO1Frequency", Knob, 41, 0, 166, 0, LfoRate, None, "Frequency", "LFOs", 1, "btnFilter1Cutoff"},
    {"KnobLFO1Amount", Knob, 43, 0, 100, 0, Plain, None, "Amount", "LFOs", 1, "btnFilter1EnvAmount"},
    {"CheckLedLFO1Sync", Led, 45, 0, 1, 0, Plain, None, "Sync", "LFOs", 1, "BitBtn33"},
    {"cmbLFO1Destination", List, 44, 0, 46, 0, Plain, Destinations, "", "LFOs", 1, "BitBtn163"},
    {"cmbLFO2Shape", List, 47, 0, 4, 0, Plain, LfoShape, "", "LFOs", 1, "BitBtn162"},
    {"KnobLFO2Frequency", Knob, 46, 0, 166, 0, LfoRate, None, "Frequency", "LFOs", 1, "BitBtn44"},
    {"KnobLFO2Amount", Knob, 48, 0, 100, 0, Plain, None, "Amount", "LFOs", 1, "BitBtn42"},
    {"CheckLedLFO2Sync", Led, 50, 0, 1, 0, Plain, None, "Sync", "LFOs", 1, "BitBtn41"},
    {"cmbLFO2Destination", List, 49, 0, 46, 0, Plain, Destinations, "", "LFOs", 1, "BitBtn166"},
    {"cmbLFO3Shape", List, 52, 0, 4, 0, Plain, LfoShape, "", "LFOs", 1, "BitBtn164"},
    {"KnobLFO3Frequency", Knob, 51, 0, 166, 0, LfoRate, None, "Frequency", "LFOs", 1, "BitBtn47"},
    {"KnobLFO3Amount", Knob, 53, 0, 100, 0, Plain, None, "Amount", "LFOs", 1, "BitBtn46"},
    {"CheckLedLFO3Sync", Led, 55, 0, 1, 0, Plain, None, "Sync", "LFOs", 1, "BitBtn45"},
    {"cmbLFO3Destination", List, 54, 0, 46, 0, Plain, Destinations, "", "LFOs", 1, "BitBtn167"},
    {"cmbLFO4Shape", List, 57, 0, 4, 0, Plain, LfoShape, "", "LFOs", 1, "BitBtn165"},
    {"KnobLFO4Frequency", Knob, 56, 0, 166, 0, LfoRate, None, "Frequency", "LFOs", 1, "BitBtn50"},
    {"KnobLFO4Amount", Knob, 58, 0, 100, 0, Plain, None, "Amount", "LFOs", 1, "BitBtn49"},
    {"CheckLedLFO4Sync", Led, 60, 0, 1, 0, Plain, None, "Sync", "LFOs", 1, "BitBtn48"},
    {"cmbLFO4Destination", List, 59, 0, 46, 0, Plain, Destinations, "", "LFOs", 1, "BitBtn168"},
    {"cmbEnv3ModDestination", List, 61, 0, 46, 0, Plain, Destinations, "", "Envelope 3", 1, "BitBtn169"},
    {"CheckLedEnv3Repeat", Led, 69, 0, 1, 0, Plain, None, "Repeat", "Envelope 3", 1, "BitBtn60"},
    {"KnobEnv3Amount", Knob, 62, -127, 127, 127, Signed, None, "Amount", "Envelope 3", 1, "BitBtn52"},
    {"KnobEnv3VeloAmount", Knob, 63, 0, 127, 0, Plain, None, "Velo Amount", "Envelope 3", 1, "BitBtn53"},
    {"KnobEnv3Delay", Knob, 64, 0, 127, 0, Plain, None, "Delay", "Envelope 3", 1, "BitBtn54"},
    {"KnobEnv3Attack", Knob, 65, 0, 127, 0, Plain, None, "Attack", "Envelope 3", 1, "BitBtn55"},
    {"KnobEnv3Decay", Knob, 66, 0, 127, 0, Plain, None, "Decay", "Envelope 3", 1, "BitBtn56"},
    {"KnobEnv3Sustain", Knob, 67, 0, 127, 0, Plain, None, "Sustain", "Envelope 3", 1, "BitBtn57"},
    {"KnobEnv3Release", Knob, 68, 0, 127, 0, Plain, None, "Release", "Envelope 3", 1, "BitBtn59"},
    {"cmbMod1Source", List, 70, 0, 22, 0, Plain, Sources, "", "Modulation", 1, "BitBtn58"},
    {"KnobMod1Amount", Knob, 71, -127, 127, 127, Signed, None, "Amount", "Modulation", 1, "BitBtn51"},
    {"cmbMod1Destination", List, 72, 0, 46, 0, Plain, Destinations, "", "Modulation", 1, "BitBtn61"},
    {"cmbMod2Source", List, 73, 0, 22, 0, Plain, Sources, "", "Modulation", 1, "BitBtn62"},
    {"KnobMod2Amount", Knob, 74, -127, 127, 127, Signed, None, "Amount", "Modulation", 1, "BitBtn63"},
    {"cmbMod2Destination", List, 75, 0, 46, 0, Plain, Destinations, "", "Modulation", 1, "BitBtn64"},
    {"cmbMod3Source", List, 76, 0, 22, 0, Plain, Sources, "", "Modulation", 1, "BitBtn65"},
    {"KnobMod3Amount", Knob, 77, -127, 127, 127, Signed, None, "Amount", "Modulation", 1, "BitBtn66"},
    {"cmbMod3Destination", List, 78, 0, 46, 0, Plain, Destinations, "", "Modulation", 1, "BitBtn67"},
    {"cmbMod4Source", List, 79, 0, 22, 0, Plain, Sources, "", "Modulation", 1, "BitBtn68"},
    {"KnobMod4Amount", Knob, 80, -127, 127, 127, Signed, None, "Amount", "Modulation", 1, "BitBtn69"},
    {"cmbMod4Destination", List, 81, 0, 46, 0, Plain, Destinations, "", "Modulation", 1, "BitBtn70"},
    {"KnobModWheelAmount", Knob, 82, -127, 127, 127, Signed, None, "Mod Wheel Amount", "Modulation Parameters", 2, "BitBtn71"},
    {"KnobPressureAmount", Knob, 84, -127, 127, 127, Signed, None, "Pressure Amount", "Modulation Parameters", 2, "BitBtn74"},
    {"KnobBreathAmount", Knob, 86, -127, 127, 127, Signed, None, "Breath Amount", "Modulation Parameters", 2, "BitBtn76"},
    {"KnobVelocityAmount", Knob, 88, -127, 127, 127, Signed, None, "Velocity Amount", "Modulation Parameters", 2, "BitBtn78"},
    {"KnobFootControlAmount", Knob, 90, -127, 127, 127, Signed, None, "Foot Control Amount", "Modulation Parameters", 2, "BitBtn80"},
    {"cmbModWheelDestination", List, 83, 0, 43, 0, Plain, ControllerDestinations, "", "Modulation Parameters", 2, "BitBtn73"},
    {"cmbPressureDestination", List, 85, 0, 43, 0, Plain, ControllerDestinations, "", "Modulation Parameters", 2, "BitBtn72"},
    {"cmbBreathDestination", List, 87, 0, 43, 0, Plain, ControllerDestinations, "", "Modulation Parameters", 2, "BitBtn75"},
    {"cmbVelocityDestination", List, 89, 0, 43, 0, Plain, ControllerDestinations, "", "Modulation Parameters", 2, "BitBtn77"},
    {"cmbFootControlDestination", List, 91, 0, 43, 0, Plain, ControllerDestinations, "", "Modulation Parameters", 2, "BitBtn79"},
    {"KnobPushItNoteNumber", Knob, 92, 0, 120, 0, Note, None, "Push It Note Number", "Push It", 2, "BitBtn81"},
    {"KnobPushItVelocity", Knob, 93, 0, 127, 0, Plain, None, "Push It Velocity", "Push It", 2, "BitBtn83"},
    {"cmbPushItMode", List, 94, 0, 2, 0, Plain, PushItMode, "", "Push It", 2, "BitBtn82"},
    {"KnobBPMTempo", Knob, 95, 30, 250, 0, Plain, None, "BPM Tempo", "Clock Parameters", 2, "BitBtn84"},
    {"cmbClockDivide", List, 96, 0, 12, 0, Plain, ClockDivide, "", "Clock Parameters", 2, "BitBtn85"},
    {"cmbAssignable1", List, 105, 0, 183, 0, Plain, Assignables, "", "Assignable Parameters", 2, "BitBtn158"},
    {"cmbAssignable2", List, 106, 0, 183, 0, Plain, Assignables, "", "Assignable Parameters", 2, "BitBtn157"},
    {"cmbAssignable3", List, 107, 0, 183, 0, Plain, Assignables, "", "Assignable Parameters", 2, "BitBtn159"},
    {"cmbAssignable4", List, 108, 0, 183, 0, Plain, Assignables, "", "Assignable Parameters", 2, "BitBtn160"},
    {"cmbApreggiatorMode", List, 97, 0, 3, 0, Plain, ArpeggiatorMode, "", "Arp", 3, "btnAmplifierModSource"},
    {"cmbSequencerTrigger", List, 99, 0, 5, 0, Plain, SequencerTrigger, "", "Arp", 3, "BitBtn87"},
    {"CheckLedApreggiator", Led, 98, 0, 1, 0, Plain, None, "Apreggiator On/Off", "Arp", 3, "BitBtn86"},
    {"CheckLedGatedSequencer", Led, 100, 0, 1, 0, Plain, None, "Gated Sequencer On/Off", "Arp", 3, "BitBtn88"},
    {"cmbSequence1Dest", List, 101, 0, 46, 0, Plain, Destinations, "", "Sequence Track 1", 3, "BitBtn89"},
    {"SldSeq101", Slider, 120, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack11"},
    {"SldSeq102", Slider, 121, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack12"},
    {"SldSeq103", Slider, 122, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack13"},
    {"SldSeq104", Slider, 123, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack14"},
    {"SldSeq105", Slider, 124, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack15"},
    {"SldSeq106", Slider, 125, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack16"},
    {"SldSeq107", Slider, 126, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack17"},
    {"SldSeq108", Slider, 127, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack18"},
    {"SldSeq109", Slider, 128, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack19"},
    {"SldSeq110", Slider, 129, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack110"},
    {"SldSeq111", Slider, 130, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack111"},
    {"SldSeq112", Slider, 131, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack112"},
    {"SldSeq113", Slider, 132, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack113"},
    {"SldSeq114", Slider, 133, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack114"},
    {"SldSeq115", Slider, 134, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack115"},
    {"SldSeq116", Slider, 135, 0, 127, 0, Plain, None, "", "Sequence Track 1", 3, "btnSeqTrack116"},
    {"cmbSequence2Dest", List, 102, 0, 46, 0, Plain, Destinations, "", "Sequence Track 2", 3, "BitBtn106"},
    {"SldSeq201", Slider, 136, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack21"},
    {"SldSeq202", Slider, 137, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack22"},
    {"SldSeq203", Slider, 138, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack23"},
    {"SldSeq204", Slider, 139, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack24"},
    {"SldSeq205", Slider, 140, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack25"},
    {"SldSeq206", Slider, 141, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack26"},
    {"SldSeq207", Slider, 142, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack27"},
    {"SldSeq208", Slider, 143, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack28"},
    {"SldSeq209", Slider, 144, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack29"},
    {"SldSeq210", Slider, 145, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack210"},
    {"SldSeq211", Slider, 146, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack211"},
    {"SldSeq212", Slider, 147, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack212"},
    {"SldSeq213", Slider, 148, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack213"},
    {"SldSeq214", Slider, 149, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack214"},
    {"SldSeq215", Slider, 150, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack215"},
    {"SldSeq216", Slider, 151, 0, 125, 0, Plain, None, "", "Sequence Track 2", 3, "btnSeqTrack216"},
    {"cmbSequence3Dest", List, 103, 0, 46, 0, Plain, Destinations, "", "Sequence Track 3", 3, "BitBtn123"},
    {"SldSeq301", Slider, 152, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack31"},
    {"SldSeq302", Slider, 153, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack32"},
    {"SldSeq303", Slider, 154, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack33"},
    {"SldSeq304", Slider, 155, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack34"},
    {"SldSeq305", Slider, 156, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack35"},
    {"SldSeq306", Slider, 157, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack36"},
    {"SldSeq307", Slider, 158, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack37"},
    {"SldSeq308", Slider, 159, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack38"},
    {"SldSeq309", Slider, 160, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack39"},
    {"SldSeq310", Slider, 161, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack310"},
    {"SldSeq311", Slider, 162, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack311"},
    {"SldSeq312", Slider, 163, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack312"},
    {"SldSeq313", Slider, 164, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack313"},
    {"SldSeq314", Slider, 165, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack314"},
    {"SldSeq315", Slider, 166, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack315"},
    {"SldSeq316", Slider, 167, 0, 125, 0, Plain, None, "", "Sequence Track 3", 3, "btnSeqTrack316"},
    {"cmbSequence4Dest", List, 104, 0, 46, 0, Plain, Destinations, "", "Sequence Track 4", 3, "BitBtn140"},
    {"SldSeq401", Slider, 168, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack41"},
    {"SldSeq402", Slider, 169, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack42"},
    {"SldSeq403", Slider, 170, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack43"},
    {"SldSeq404", Slider, 171, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack44"},
    {"SldSeq405", Slider, 172, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack45"},
    {"SldSeq406", Slider, 173, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack46"},
    {"SldSeq407", Slider, 174, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack47"},
    {"SldSeq408", Slider, 175, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack48"},
    {"SldSeq409", Slider, 176, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack49"},
    {"SldSeq410", Slider, 177, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack410"},
    {"SldSeq411", Slider, 178, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack411"},
    {"SldSeq412", Slider, 179, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack412"},
    {"SldSeq413", Slider, 180, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack413"},
    {"SldSeq414", Slider, 181, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack414"},
    {"SldSeq415", Slider, 182, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack415"},
    {"SldSeq416", Slider, 183, 0, 125, 0, Plain, None, "", "Sequence Track 4", 3, "btnSeqTrack416"},
}};

const std::array<const char*, ModDestinationCount> ModDestinations = {
    "Off", "Osc 1 Freq", "Osc 2 Freq", "Osc 1 and 2 Freq", "Osc Mix", "Noise Level",
    "Osc 1 Pulse Width", "Osc 2 Pulse Width", "Osc 1 and 2 Pulse Width", "Filter Frequency",
    "Resonance", "Filter Audio Mod Amt", "VCA Level", "Pan Spread", "LFO 1 Freq", "LFO 2 Freq",
    "LFO 3 Freq", "LFO 4 Freq", "All LFO Freq", "LFO 1 Amt", "LFO 2 Amt", "LFO 3 Amt",
    "LFO 4 Amt", "All LFO Amt", "Filter Env Amt", "Amp Env Amt", "Env 3 Amt", "All Env Amounts",
    "Env 1 Attack", "Env 2 Attack", "Env 3 Attack", "All Env Attacks", "Env 1 Decay",
    "Env 2 Decay", "Env 3 Decay", "All Env Decays", "Env 1 Release", "Env 2 Release",
    "Env 3 Release", "All Env Releases", "Mod 1 Amt", "Mod 2 Amt", "Mod 3 Amt", "Mod 4 Amt",
    "External Audio In Level", "Sub Osc 1 Level", "Sub Osc 2 Level",
};

const std::array<const char*, ModSourceCount> ModSources = {
    "Off", "Sequence Track 1", "Sequence Track 2", "Sequence Track 3", "Sequence Track 4",
    "LFO 1", "LFO 2", "LFO 3", "LFO 4", "Filter Envelope", "Amp Envelope", "Envelope 3",
    "Pitch Bend", "Mod Wheel", "Pressure", "MIDI Breath", "MIDI Foot", "MIDI Expression",
    "Velocity", "Note Number", "Noise", "Audio In Envelope Follower", "Audio In Peak Hold",
};

const std::array<const char*, LfoSyncNameCount> LfoSyncNames = {
    "DIV 32", "DIV 16", "DIV 8", "DIV 6", "DIV 4", "DIV 3", "DIV 2", "DIV 1.5",
    "1C/1S", "2C/3S", "2C/1S", "1C/3S", "4C/1S", "6C/1S", "8C/1S", "16C/1S",
};

namespace {
// The names of the parameters 0..104, the ones bound before the assignables.
constexpr std::array<const char*, 105> BoundParameterNames = {
    "Oscillator 1 Frequency",
    "Oscillator 1 Fine Tune",
    "Oscillator 1 Shape",
    "Oscillator 1 Glide",
    "Oscillator 1 Keyboard Off/On",
    "Sub Oscillator 1 Level",
    "Oscillator 2 Frequency",
    "Oscillator 2 Fine Tune",
    "Oscillator 2 Shape",
    "Oscillator 2 Glide",
    "Oscillator 2 Keyboard Off/On",
    "Sub Oscillator 2 Level",
    "Sync off/on",
    "Glide Mode",
    "Oscillator Slop",
    "Pitch Bend Range",
    "Key Assign Mode",
    "Oscillator 1 - 2 Mix",
    "Noise Level",
    "External Audio Input Level",
    "Filter Frequency, steps in semitones",
    "Resonance",
    "Filter Keyboard Amount",
    "Filter Audio Modulation",
    "Filter Poles",
    "Filter Envelope Amount",
    "Filter Envelope Velocity Amount",
    "Filter Envelope Delay",
    "Filter Envelope Attack",
    "Filter Envelope Decay",
    "Filter Envelope Sustain",
    "Filter Envelope Release",
    "VCA Initial Level",
    "VCA Envelope Amount",
    "VCA Envelope Velocity Amount",
    "VCA Envelope Delay",
    "VCA Envelope Attack",
    "VCA Envelope Decay",
    "VCA Envelope Sustain",
    "VCA Envelope Release",
    "Voice Volume",
    "LFO 1 Frequency",
    "LFO 1 Shape",
    "LFO 1 Amount",
    "LFO 1 Mod Destination",
    "LFO 1 Key Sync Off/On",
    "LFO 2 Frequency; same as LFO 1",
    "LFO 2 Shape; same as LFO 1",
    "LFO 2 Amount",
    "LFO 2 Mod Destination",
    "LFO 2 Key Sync Off/On",
    "LFO 3 Frequency; same as LFO 1",
    "LFO 3 Shape; same as LFO 1",
    "LFO 3 Amount",
    "LFO 3 Mod Destination",
    "LFO 3 Key Sync Off/On",
    "LFO 4 Frequency; same as LFO 1",
    "LFO 4 Shape; same as LFO 1",
    "LFO 4 Amount",
    "LFO 4 Mod Destination",
    "LFO 4 Key Sync Off/On",
    "Envelope 3 Mod Destination",
    "Envelope 3 Amount",
    "Envelope 3 Velocity Amount",
    "Envelope 3 Delay",
    "Envelope 3 Attack",
    "Envelope 3 Decay",
    "Envelope 3 Sustain",
    "Envelope 3 Release",
    "Repeat Off/On",
    "Mod 1 Source",
    "Mod 1 Amount",
    "Mod 1 Destination",
    "Mod 2 Source",
    "Mod 2 Amount",
    "Mod 2 Destination",
    "Mod 3 Source",
    "Mod3 Amount",
    "Mod 3 Destination",
    "Mod 4 Source",
    "Mod 4 Amount",
    "Mod 4 Destination",
    "Mod Wheel Amount",
    "Mod Wheel Destination",
    "Pressure Amount",
    "Pressure Destination",
    "Breath Amount",
    "Breath Destination",
    "Velocity Amount",
    "Velocity Destination",
    "Foot Control Amount",
    "Foot Control Destination",
    "Push It Switch Note Number",
    "Push It Switch velocity",
    "Push It Switch Mode",
    "BPM tempo",
    "Clock Divide",
    "Arpeggiator Mode",
    "Arpeggiator; off/on",
    "Sequencer Trigger",
    "Gated Sequencer",
    "Sequence 1 Destination",
    "Sequence 2 Destination",
    "Sequence 3 Destination",
    "Sequence 4 Destination",
};
// clang-format on

constexpr int FirstAssignable = 105;
constexpr int FirstUnused = 109;
constexpr int LastUnused = 119;
constexpr int FirstStep = 120;
constexpr int StepsPerTrack = 16;
constexpr int ShapePulseItem = 4;
constexpr int MaxPulseWidth = 99;
constexpr int EmptyListByte = 255;

std::array<std::string, NamedParameterCount> BuildParameterNames() {
    std::array<std::string, NamedParameterCount> names;
    for (int p = 0; p < NamedParameterCount; ++p) {
        std::string& name = names[static_cast<std::size_t>(p)];
        const std::string number = std::to_string(p);
        if (p < FirstAssignable) {
            name = number + " " + BoundParameterNames[static_cast<std::size_t>(p)];
        } else if (p < FirstUnused) {
            name =
                " " + number + " Assignable Parameter " + std::to_string(p - FirstAssignable + 1);
        } else if (p < LastUnused) {
            name = " " + number + "\xE2\x80\x94Unused"; // an em dash
        } else if (p == LastUnused) {
            name = " " + number + "-Unused";
        } else {
            const int step = p - FirstStep;
            name = number + " Sequence Track" + std::to_string(1 + step / StepsPerTrack) +
                   ", step " + std::to_string(1 + step % StepsPerTrack);
        }
    }
    return names;
}

std::vector<std::string> Items(std::initializer_list<const char*> texts) {
    return {texts.begin(), texts.end()};
}

template <std::size_t N>
std::vector<std::string> FirstItems(const std::array<const char*, N>& texts, int count) {
    return {texts.begin(), texts.begin() + count};
}

std::vector<std::string> AssignableItems() {
    std::vector<std::string> items;
    items.reserve(NamedParameterCount);
    for (int k = 0; k < NamedParameterCount; ++k)
        items.push_back(std::to_string(k) + "-" + ParameterNames()[static_cast<std::size_t>(k)]);
    return items;
}

bool InRange(const ParameterBinding& binding, int value) {
    return value >= binding.min && value <= binding.max;
}
} // namespace

bool IsPulseWidthKnob(const ParameterBinding& binding) {
    return binding.kind == ControlKind::Knob && (binding.parameter == SoundParameter::Osc1Shape ||
                                                 binding.parameter == SoundParameter::Osc2Shape);
}

const SoundParameterFacts& ParameterFacts(int parameter) {
    static const std::array<SoundParameterFacts, SoundParameter::Count> facts = [] {
        std::array<SoundParameterFacts, SoundParameter::Count> table{};
        for (int p = 0; p < SoundParameter::Count; ++p) {
            SoundParameterFacts& fact = table[static_cast<std::size_t>(p)];
            fact.nrpn = NrpnNumbers[static_cast<std::size_t>(p)];
            fact.name = p < NamedParameterCount ? ParameterNames()[static_cast<std::size_t>(p)]
                                                : std::to_string(p) + " Name " +
                                                      std::to_string(p - NamedParameterCount + 1);
        }
        for (int row = 0; row < BoundControlCount; ++row) {
            const ParameterBinding& binding = ParameterBindings[static_cast<std::size_t>(row)];
            SoundParameterFacts& fact = table[static_cast<std::size_t>(binding.parameter)];
            (IsPulseWidthKnob(binding) ? fact.pulseWidthRow : fact.row) = row;
            if (!IsPulseWidthKnob(binding))
                fact.section = binding.group;
        }
        return table;
    }();
    return facts.at(static_cast<std::size_t>(parameter));
}

int RowOfParameter(int parameter) {
    if (parameter < 0 || parameter >= SoundParameter::Count)
        return -1;
    return ParameterFacts(parameter).row;
}

int RowOf(ControlRef control) {
    if (control.parameter < 0 || control.parameter >= SoundParameter::Count)
        return -1;
    const SoundParameterFacts& facts = ParameterFacts(control.parameter);
    return control.pulseWidth ? facts.pulseWidthRow : facts.row;
}

int SeqDestinationRow(int track) {
    return RowOfParameter(SoundParameter::FirstSeqDestination + track - 1);
}

int SeqStepRow(int track, int step) {
    return RowOfParameter(SoundParameter::FirstSeqStep + (track - 1) * SoundParameter::SeqSteps +
                          step - 1);
}

int SeqTrackOfRow(int row) {
    const int p = ParameterBindings.at(static_cast<std::size_t>(row)).parameter;
    using namespace SoundParameter;
    if (p >= FirstSeqDestination && p < FirstSeqDestination + SeqTracks)
        return p - FirstSeqDestination + 1;
    if (p >= FirstSeqStep && p < FirstSeqStep + SeqTracks * SeqSteps)
        return (p - FirstSeqStep) / SeqSteps + 1;
    return 0;
}

bool IsPitchDestination(int destination) {
    return destination >= 1 && destination <= 3;
}

int BindingIndex(std::string_view key) {
    const auto found = std::find_if(ParameterBindings.begin(), ParameterBindings.end(),
                                    [key](const ParameterBinding& b) { return b.key == key; });
    return found == ParameterBindings.end() ? -1
                                            : static_cast<int>(found - ParameterBindings.begin());
}

const std::array<std::string, NamedParameterCount>& ParameterNames() {
    static const std::array<std::string, NamedParameterCount> names = BuildParameterNames();
    return names;
}

const std::vector<std::string>& ListItems(ValueList list) {
    static const std::vector<std::string> none;
    static const std::vector<std::string> shape =
        Items({"Oscillator Off", "Sawtooth", "Triangle", "Sawtooth/triangle mix", "Pulse Wave"});
    static const std::vector<std::string> glide =
        Items({"Fixed rate", "Fixed rate auto", "Fixed time", "Fixed time auto"});
    static const std::vector<std::string> keyAssign =
        Items({"Low note priority", "Low note priority with re-trigger", "High note priority",
               "High note priority with re-trigger", "Last note hit priority",
               "Last note hit priority with re-trigger"});
    static const std::vector<std::string> lfoShape =
        Items({"Triangle", "Reverse Sawtooth", "Sawtooth", "Pulse (square)", "Random"});
    static const std::vector<std::string> pushIt = Items({"Normal", "Toggle", "Audio In"});
    static const std::vector<std::string> clockDivide = Items(
        {"Half Note", "Quarter Note", "Eighth Note", "Eighth Note half swing",
         "Eighth Note full swing", "Eighth Note triplets", "Sixteenth Note",
         "Sixteenth Note half swing", "Sixteenth Note full swing", "Sixteenth Note triplets",
         "Thirty-second Notes", "Thirty-second Notes triplets", "Sixty-Fourth note triplets"});
    static const std::vector<std::string> arpMode = Items({"Up", "Down", "Up/Down", "Assign"});
    static const std::vector<std::string> trigger = Items(
        {"Normal", "Normal, no reset", "No gate", "No gate/no reset", "Key Step", "Audio In"});
    static const std::vector<std::string> destinations =
        FirstItems(ModDestinations, ModDestinationCount);
    static const std::vector<std::string> controllerDestinations =
        FirstItems(ModDestinations, ControllerDestinationCount);
    static const std::vector<std::string> sources = FirstItems(ModSources, ModSourceCount);
    static const std::vector<std::string> assignables = AssignableItems();
    switch (list) {
    case ValueList::None:
        return none;
    case ValueList::OscillatorShape:
        return shape;
    case ValueList::GlideMode:
        return glide;
    case ValueList::KeyAssignMode:
        return keyAssign;
    case ValueList::LfoShape:
        return lfoShape;
    case ValueList::PushItMode:
        return pushIt;
    case ValueList::ClockDivide:
        return clockDivide;
    case ValueList::ArpeggiatorMode:
        return arpMode;
    case ValueList::SequencerTrigger:
        return trigger;
    case ValueList::Destinations:
        return destinations;
    case ValueList::ControllerDestinations:
        return controllerDestinations;
    case ValueList::Sources:
        return sources;
    case ValueList::Assignables:
        return assignables;
    }
    return none;
}

std::string LfoFrequencyText(int value) {
    constexpr int LastRate = 150;
    if (value > LastRate && value <= LastRate + LfoSyncNameCount)
        return LfoSyncNames[static_cast<std::size_t>(value - LastRate - 1)];
    return std::to_string(value);
}

std::string CaptionAt(const ParameterBinding& binding, int value) {
    if (binding.kind == ControlKind::Knob && binding.display == ValueDisplay::Note && value >= 0)
        return NoteLabel(value);
    if (binding.kind == ControlKind::Knob && binding.display == ValueDisplay::LfoRate)
        return LfoFrequencyText(value);
    return std::string(binding.caption);
}

std::string ValueText(const ParameterBinding& binding, int value) {
    if (binding.kind == ControlKind::List) {
        const auto& items = ListItems(binding.list);
        return value >= 0 && value < static_cast<int>(items.size())
                   ? items[static_cast<std::size_t>(value)]
                   : std::string();
    }
    if (binding.display == ValueDisplay::Note && value >= 0)
        return NoteLabel(value);
    if (binding.display == ValueDisplay::LfoRate)
        return LfoFrequencyText(value);
    return std::to_string(value);
}

std::optional<int> ValueFromText(const ParameterBinding& binding, std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    const auto same = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) ==
                          std::tolower(static_cast<unsigned char>(y));
               });
    };
    for (int value = binding.min; value <= binding.max; ++value)
        if (same(text, ValueText(binding, value)))
            return value;
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error == std::errc() && end == text.data() + text.size() && number >= binding.min &&
        number <= binding.max)
        return number;
    return std::nullopt;
}

std::optional<int> ValueForByte(const ParameterBinding& binding, std::uint8_t byte) {
    switch (binding.kind) {
    case ControlKind::Knob: {
        if (IsPulseWidthKnob(binding)) {
            // The pulse width follows only a "Pulse Wave" shape.
            if (byte < ShapePulseItem || byte - ShapePulseItem > MaxPulseWidth)
                return std::nullopt;
            return byte - ShapePulseItem;
        }
        const int value = byte - binding.offset;
        return InRange(binding, value) ? std::optional<int>(value) : std::nullopt;
    }
    case ControlKind::Slider:
        return InRange(binding, byte) ? std::optional<int>(byte) : std::nullopt;
    case ControlKind::Led:
        // The instrument plays any non-zero repeat byte as on.
        if (binding.parameter == SoundParameter::Env3Repeat)
            return byte != 0 ? 1 : 0;
        return byte == 1 ? 1 : 0;
    case ControlKind::List:
        if (binding.list == ValueList::OscillatorShape)
            return std::min<int>(byte, ShapePulseItem);
        return byte <= binding.max ? byte : NoSelection;
    }
    return std::nullopt;
}

std::uint8_t ByteForValue(const ParameterBinding& binding, int value) {
    switch (binding.kind) {
    case ControlKind::Knob:
        return static_cast<std::uint8_t>((value + binding.offset) & 0xFF);
    case ControlKind::Slider:
        return static_cast<std::uint8_t>(value & 0xFF);
    case ControlKind::Led:
        return value != 0 ? 1 : 0;
    case ControlKind::List:
        if (value < 0)
            return EmptyListByte;
        return static_cast<std::uint8_t>(value & 0xFF);
    }
    return 0;
}

std::uint8_t ShapeByte(int shapeItem, int pulseWidth) {
    if (shapeItem < 0)
        return EmptyListByte;
    if (shapeItem < ShapePulseItem)
        return static_cast<std::uint8_t>(shapeItem);
    return static_cast<std::uint8_t>((ShapePulseItem + pulseWidth) & 0xFF);
}
