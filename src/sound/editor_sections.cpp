#include "editor_sections.h"

namespace {
constexpr std::string_view Osc1Controls[] = {
    "knobOsc1Frequency", "knobOsc1Fine",     "cmbOsc1Shape",        "knobOsc1Pulsewidth",
    "knobOsc1Glide",     "knobSubOsc1Level", "CheckLedOsc1Keyboard"};
constexpr std::string_view Osc2Controls[] = {
    "knobOsc2Frequency", "knobOsc2Fine",     "cmbOsc2Shape",        "knobOsc2Pulsewidth",
    "knobOsc2Glide",     "knobSubOsc2Level", "CheckLedOsc2Keyboard"};
constexpr std::string_view CommonControls[] = {
    "cmbGlideMode",       "cmbKeyAssignMode", "CheckLedSync2ro1", "KnobOscSlop",
    "KnobPitchBendRange", "KnobOsc12Mix",     "KnobNoiseLevel",   "KnobExtAudioInputLevel"};
constexpr std::string_view FilterControls[] = {
    "KnobFilterFrequency",     "KnobFilterResonance",  "KnobFilterKeybAmount",
    "KnobFilterAudioMod",      "CheckLedFilterPoles",  "KnobFilterEnvAmount",
    "KnobFilterEnvVeloAmount", "KnobFilterEnvDelay",   "KnobFilterEnvAttack",
    "KnobFilterDecay",         "KnobFilterEnvSustain", "KnobFilterEnvRelease"};
constexpr std::string_view VcaControls[] = {
    "KnobVCAInitialLevel", "KnobVCAEnvAmount",  "KnobVCAEnvVeloAmount",
    "KnobVCAEnvDelay",     "KnobVCAEnvAttack",  "KnobVCAEnvDecay",
    "KnobVCAEnvSustain",   "KnobVCAEnvRelease", "KnobVCAVoiceVolume"};
constexpr std::string_view Env3Controls[] = {
    "cmbEnv3ModDestination", "KnobEnv3Amount",  "KnobEnv3VeloAmount",
    "KnobEnv3Delay",         "KnobEnv3Attack",  "KnobEnv3Decay",
    "KnobEnv3Sustain",       "KnobEnv3Release", "CheckLedEnv3Repeat"};
constexpr std::string_view LfoControls[] = {
    "cmbLFO1Shape",       "cmbLFO1Destination", "KnobLFO1Frequency",  "KnobLFO1Amount",
    "CheckLedLFO1Sync",   "cmbLFO2Shape",       "cmbLFO2Destination", "KnobLFO2Frequency",
    "KnobLFO2Amount",     "CheckLedLFO2Sync",   "cmbLFO3Shape",       "cmbLFO3Destination",
    "KnobLFO3Frequency",  "KnobLFO3Amount",     "CheckLedLFO3Sync",   "cmbLFO4Shape",
    "cmbLFO4Destination", "KnobLFO4Frequency",  "KnobLFO4Amount",     "CheckLedLFO4Sync"};
constexpr std::string_view ModControls[] = {
    "cmbMod1Source",      "KnobMod1Amount",     "cmbMod1Destination", "cmbMod2Source",
    "KnobMod2Amount",     "cmbMod2Destination", "cmbMod3Source",      "KnobMod3Amount",
    "cmbMod3Destination", "cmbMod4Source",      "KnobMod4Amount",     "cmbMod4Destination"};
constexpr std::string_view ModParametersControls[] = {
    "KnobModWheelAmount",       "KnobPressureAmount",    "KnobBreathAmount",
    "KnobVelocityAmount",       "KnobFootControlAmount", "cmbModWheelDestination",
    "cmbPressureDestination",   "cmbBreathDestination",  "cmbVelocityDestination",
    "cmbFootControlDestination"};
constexpr std::string_view PushItControls[] = {"KnobPushItNoteNumber", "KnobPushItVelocity",
                                               "cmbPushItMode"};
constexpr std::string_view ClockControls[] = {"KnobBPMTempo", "cmbClockDivide"};
constexpr std::string_view AssignablesControls[] = {"cmbAssignable1", "cmbAssignable2",
                                                    "cmbAssignable3", "cmbAssignable4"};
constexpr std::string_view ArpControls[] = {"cmbApreggiatorMode", "cmbSequencerTrigger",
                                            "CheckLedApreggiator", "CheckLedGatedSequencer"};
constexpr std::string_view Seq1Controls[] = {
    "cmbSequence1Dest", "SldSeq101", "SldSeq102", "SldSeq103", "SldSeq104", "SldSeq105",
    "SldSeq106",        "SldSeq107", "SldSeq108", "SldSeq109", "SldSeq110", "SldSeq111",
    "SldSeq112",        "SldSeq113", "SldSeq114", "SldSeq115", "SldSeq116"};
constexpr std::string_view Seq2Controls[] = {
    "cmbSequence2Dest", "SldSeq201", "SldSeq202", "SldSeq203", "SldSeq204", "SldSeq205",
    "SldSeq206",        "SldSeq207", "SldSeq208", "SldSeq209", "SldSeq210", "SldSeq211",
    "SldSeq212",        "SldSeq213", "SldSeq214", "SldSeq215", "SldSeq216"};
constexpr std::string_view Seq3Controls[] = {
    "cmbSequence3Dest", "SldSeq301", "SldSeq302", "SldSeq303", "SldSeq304", "SldSeq305",
    "SldSeq306",        "SldSeq307", "SldSeq308", "SldSeq309", "SldSeq310", "SldSeq311",
    "SldSeq312",        "SldSeq313", "SldSeq314", "SldSeq315", "SldSeq316"};
constexpr std::string_view Seq4Controls[] = {
    "cmbSequence4Dest", "SldSeq401", "SldSeq402", "SldSeq403", "SldSeq404", "SldSeq405",
    "SldSeq406",        "SldSeq407", "SldSeq408", "SldSeq409", "SldSeq410", "SldSeq411",
    "SldSeq412",        "SldSeq413", "SldSeq414", "SldSeq415", "SldSeq416"};

constexpr std::string_view OscillatorSections[] = {"btnRandomizeOsc1", "btnRandomizeOsc2",
                                                   "btnRandomizeCommon"};
constexpr std::string_view FilterSections[] = {"btnRandomizeFilter"};
constexpr std::string_view EnvelopeSections[] = {"btnRandomizeVCA", "btnRandomizeEnv3"};
constexpr std::string_view LfoSections[] = {"btnRandomizeLFO"};
constexpr std::string_view MatrixSections[] = {"btnRandomizeMod"};
constexpr std::string_view ArpeggiatorSections[] = {"btnRandomizeArp", "btnRandomizeSeq1",
                                                    "btnRandomizeSeq2", "btnRandomizeSeq3",
                                                    "btnRandomizeSeq4"};
// "Randomize Sound" runs the oscillators, filters, VCA and envelope 3, LFOs and the matrix.
constexpr std::string_view SoundSections[] = {
    "btnRandomizeOsc1", "btnRandomizeOsc2", "btnRandomizeCommon", "btnRandomizeFilter",
    "btnRandomizeVCA",  "btnRandomizeEnv3", "btnRandomizeLFO",    "btnRandomizeMod"};

// "Init Sound" sets these in order: oscillators, filter, VCA and envelope 3,
// LFOs, modulation matrix. Voice Volume 100 is audible with headroom.
constexpr StartValue SoundStartValues[] = {
    // Oscillators
    {"knobOsc1Frequency", 60},
    {"knobOsc1Fine", 0},
    {"cmbOsc1Shape", 1},
    {"knobOsc1Pulsewidth", 0},
    {"knobOsc1Glide", 0},
    {"knobSubOsc1Level", 0},
    {"CheckLedOsc1Keyboard", 1},
    {"knobOsc2Frequency", 60},
    {"knobOsc2Fine", 0},
    {"cmbOsc2Shape", 0},
    {"knobOsc2Pulsewidth", 0},
    {"knobOsc2Glide", 0},
    {"knobSubOsc2Level", 0},
    {"CheckLedOsc2Keyboard", 1},
    // Filter
    {"KnobFilterFrequency", 160},
    {"KnobFilterResonance", 0},
    {"KnobFilterKeybAmount", 0},
    {"KnobFilterAudioMod", 0},
    {"CheckLedFilterPoles", 1},
    {"KnobFilterEnvAmount", 0},
    {"KnobFilterEnvVeloAmount", 0},
    {"KnobFilterEnvDelay", 0},
    {"KnobFilterEnvAttack", 0},
    {"KnobFilterDecay", 64},
    {"KnobFilterEnvSustain", 32},
    {"KnobFilterEnvRelease", 32},
    // VCA and envelope 3
    {"KnobVCAInitialLevel", 0},
    {"KnobVCAEnvAmount", 64},
    {"KnobVCAEnvVeloAmount", 64},
    {"KnobVCAEnvDelay", 0},
    {"KnobVCAEnvAttack", 0},
    {"KnobVCAEnvDecay", 64},
    {"KnobVCAEnvSustain", 64},
    {"KnobVCAEnvRelease", 32},
    {"KnobVCAVoiceVolume", 100},
    {"cmbEnv3ModDestination", 0},
    {"KnobEnv3Amount", 0},
    {"KnobEnv3VeloAmount", 0},
    {"KnobEnv3Delay", 0},
    {"KnobEnv3Attack", 0},
    {"KnobEnv3Decay", 64},
    {"KnobEnv3Sustain", 64},
    {"KnobEnv3Release", 32},
    {"CheckLedEnv3Repeat", 1},
    // LFOs
    {"cmbLFO1Shape", 0},
    {"cmbLFO1Destination", 0},
    {"KnobLFO1Frequency", 0},
    {"KnobLFO1Amount", 0},
    {"CheckLedLFO1Sync", 0},
    {"cmbLFO2Shape", 0},
    {"cmbLFO2Destination", 0},
    {"KnobLFO2Frequency", 0},
    {"KnobLFO2Amount", 0},
    {"CheckLedLFO2Sync", 0},
    {"cmbLFO3Shape", 0},
    {"cmbLFO3Destination", 0},
    {"KnobLFO3Frequency", 0},
    {"KnobLFO3Amount", 0},
    {"CheckLedLFO3Sync", 0},
    {"cmbLFO4Shape", 0},
    {"cmbLFO4Destination", 0},
    {"KnobLFO4Frequency", 0},
    {"KnobLFO4Amount", 0},
    {"CheckLedLFO4Sync", 0},
    // Modulation matrix
    {"cmbMod1Source", 0},
    {"KnobMod1Amount", 0},
    {"cmbMod1Destination", 0},
    {"cmbMod2Source", 0},
    {"KnobMod2Amount", 0},
    {"cmbMod2Destination", 0},
    {"cmbMod3Source", 0},
    {"KnobMod3Amount", 0},
    {"cmbMod3Destination", 0},
    {"cmbMod4Source", 0},
    {"KnobMod4Amount", 0},
    {"cmbMod4Destination", 0},
};

constexpr StartValue ArpStartValues[] = {
    {"cmbApreggiatorMode", 0},
    {"cmbSequencerTrigger", 0},
    {"CheckLedApreggiator", 0},
    {"CheckLedGatedSequencer", 0},
};
} // namespace

const std::array<SectionRandomizer, SectionRandomizerCount> SectionRandomizers = {{
    {"btnRandomizeOsc1", "Randomize Osc1", "Oscillator 1", Osc1Controls},
    {"btnRandomizeOsc2", "Randomize Osc2", "Oscillator 2", Osc2Controls},
    {"btnRandomizeCommon", "Randomize Common", "Oscillators Common", CommonControls},
    {"btnRandomizeFilter", "Randomize Filter", "Filter", FilterControls},
    {"btnRandomizeVCA", "Randomize VCA", "VCA", VcaControls},
    {"btnRandomizeEnv3", "Randomize Env 3", "Envelope 3", Env3Controls},
    {"btnRandomizeLFO", "Randomize LFOs", "LFOs", LfoControls},
    {"btnRandomizeMod", "Randomize Mod", "Modulation", ModControls},
    {"btnRandomizeModulationParameters", "Randomize Mod Parameters", "Modulation Parameters",
     ModParametersControls},
    {"btnRandomizePushIt", "Randomize Push It", "Push It", PushItControls},
    {"btnRandomizeClockParameters", "Randomize Clock Parameters", "Clock Parameters",
     ClockControls},
    {"btnRandomizeAssignables", "Randomize Assignables", "Assignable Parameters",
     AssignablesControls},
    {"btnRandomizeArp", "Randomize Arp", "Arp", ArpControls},
    {"btnRandomizeSeq1", "Randomize Seq 1", "Sequence Track 1", Seq1Controls},
    {"btnRandomizeSeq2", "Randomize Seq 2", "Sequence Track 2", Seq2Controls},
    {"btnRandomizeSeq3", "Randomize Seq 3", "Sequence Track 3", Seq3Controls},
    {"btnRandomizeSeq4", "Randomize Seq 4", "Sequence Track 4", Seq4Controls},
}};

const std::array<CompositeRandomizer, CompositeRandomizerCount> CompositeRandomizers = {{
    {"btnRandomizeOscillators", "Randomize Oscillators (Ctrl+1)", 1, OscillatorSections},
    {"btnRandomizeFilters", "Randomize Filters (Ctrl+2)", 2, FilterSections},
    {"btnRandomizeEnvelopes", "Randomize VCA, Env3 (Ctrl+3)", 3, EnvelopeSections},
    {"btnRandomizeLFOs", "Randomize LFOs (Ctrl+4)", 4, LfoSections},
    {"btnRandomizeMatrix", "Randomize Mod Matrix (Ctrl+5)", 5, MatrixSections},
    {"btnRandomizeArpeggiator", "Randomize Arpeggiator (Ctrl+6)", 6, ArpeggiatorSections},
    {"btnRandomizeSound", "Randomize Sound (Ctrl+0)", 0, SoundSections},
}};

std::span<const StartValue> InitSoundValues() {
    return SoundStartValues;
}

std::span<const StartValue> InitArpValues() {
    return ArpStartValues;
}
