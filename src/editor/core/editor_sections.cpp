#include "editor_sections.h"

namespace {
namespace P = SoundParameter;

// A sequencer track's destination list, then its 16 steps.
constexpr std::array<ControlRef, 1 + P::SeqSteps> SeqControls(int track) {
    std::array<ControlRef, 1 + P::SeqSteps> controls{};
    controls[0] = {P::FirstSeqDestination + track - 1};
    for (int step = 1; step <= P::SeqSteps; ++step)
        controls[static_cast<std::size_t>(step)] = {P::FirstSeqStep + (track - 1) * P::SeqSteps +
                                                    step - 1};
    return controls;
}

constexpr ControlRef Osc1Controls[] = {
    {P::Osc1Frequency}, {P::Osc1Fine},     {P::Osc1Shape},   PulseWidthOf(P::Osc1Shape),
    {P::Osc1Glide},     {P::SubOsc1Level}, {P::Osc1Keyboard}};
constexpr ControlRef Osc2Controls[] = {
    {P::Osc2Frequency}, {P::Osc2Fine},     {P::Osc2Shape},   PulseWidthOf(P::Osc2Shape),
    {P::Osc2Glide},     {P::SubOsc2Level}, {P::Osc2Keyboard}};
constexpr ControlRef CommonControls[] = {{P::GlideMode},  {P::KeyAssignMode},     {P::Sync2To1},
                                         {P::OscSlop},    {P::PitchBendRange},    {P::Osc12Mix},
                                         {P::NoiseLevel}, {P::ExtAudioInputLevel}};
constexpr ControlRef FilterControls[] = {
    {P::FilterFrequency}, {P::FilterResonance}, {P::FilterKeybAmount},    {P::FilterAudioMod},
    {P::FilterPoles},     {P::FilterEnvAmount}, {P::FilterEnvVeloAmount}, {P::FilterEnvDelay},
    {P::FilterEnvAttack}, {P::FilterEnvDecay},  {P::FilterEnvSustain},    {P::FilterEnvRelease}};
constexpr ControlRef VcaControls[] = {
    {P::VCAInitialLevel}, {P::VCAEnvAmount},  {P::VCAEnvVeloAmount},
    {P::VCAEnvDelay},     {P::VCAEnvAttack},  {P::VCAEnvDecay},
    {P::VCAEnvSustain},   {P::VCAEnvRelease}, {P::VCAVoiceVolume}};
constexpr ControlRef Env3Controls[] = {
    {P::Env3ModDestination}, {P::Env3Amount},  {P::Env3VeloAmount}, {P::Env3Delay}, {P::Env3Attack},
    {P::Env3Decay},          {P::Env3Sustain}, {P::Env3Release},    {P::Env3Repeat}};
constexpr ControlRef LfoControls[] = {
    {P::LFO1Shape}, {P::LFO1Destination}, {P::LFO1Frequency}, {P::LFO1Amount}, {P::LFO1Sync},
    {P::LFO2Shape}, {P::LFO2Destination}, {P::LFO2Frequency}, {P::LFO2Amount}, {P::LFO2Sync},
    {P::LFO3Shape}, {P::LFO3Destination}, {P::LFO3Frequency}, {P::LFO3Amount}, {P::LFO3Sync},
    {P::LFO4Shape}, {P::LFO4Destination}, {P::LFO4Frequency}, {P::LFO4Amount}, {P::LFO4Sync}};
constexpr ControlRef ModControls[] = {{P::Mod1Source}, {P::Mod1Amount}, {P::Mod1Destination},
                                      {P::Mod2Source}, {P::Mod2Amount}, {P::Mod2Destination},
                                      {P::Mod3Source}, {P::Mod3Amount}, {P::Mod3Destination},
                                      {P::Mod4Source}, {P::Mod4Amount}, {P::Mod4Destination}};
constexpr ControlRef ModParametersControls[] = {
    {P::ModWheelAmount},        {P::PressureAmount},    {P::BreathAmount},
    {P::VelocityAmount},        {P::FootControlAmount}, {P::ModWheelDestination},
    {P::PressureDestination},   {P::BreathDestination}, {P::VelocityDestination},
    {P::FootControlDestination}};
constexpr ControlRef PushItControls[] = {
    {P::PushItNoteNumber}, {P::PushItVelocity}, {P::PushItMode}};
constexpr ControlRef ClockControls[] = {{P::BPMTempo}, {P::ClockDivide}};
constexpr ControlRef AssignablesControls[] = {
    {P::Assignable1}, {P::Assignable2}, {P::Assignable3}, {P::Assignable4}};
constexpr ControlRef ArpControls[] = {
    {P::ArpeggiatorMode}, {P::SequencerTrigger}, {P::Arpeggiator}, {P::GatedSequencer}};
constexpr auto Seq1Controls = SeqControls(1);
constexpr auto Seq2Controls = SeqControls(2);
constexpr auto Seq3Controls = SeqControls(3);
constexpr auto Seq4Controls = SeqControls(4);

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
    {{P::Osc1Frequency}, 60},
    {{P::Osc1Fine}, 0},
    {{P::Osc1Shape}, 1},
    {PulseWidthOf(P::Osc1Shape), 0},
    {{P::Osc1Glide}, 0},
    {{P::SubOsc1Level}, 0},
    {{P::Osc1Keyboard}, 1},
    {{P::Osc2Frequency}, 60},
    {{P::Osc2Fine}, 0},
    {{P::Osc2Shape}, 0},
    {PulseWidthOf(P::Osc2Shape), 0},
    {{P::Osc2Glide}, 0},
    {{P::SubOsc2Level}, 0},
    {{P::Osc2Keyboard}, 1},
    // Filter
    {{P::FilterFrequency}, 160},
    {{P::FilterResonance}, 0},
    {{P::FilterKeybAmount}, 0},
    {{P::FilterAudioMod}, 0},
    {{P::FilterPoles}, 1},
    {{P::FilterEnvAmount}, 0},
    {{P::FilterEnvVeloAmount}, 0},
    {{P::FilterEnvDelay}, 0},
    {{P::FilterEnvAttack}, 0},
    {{P::FilterEnvDecay}, 64},
    {{P::FilterEnvSustain}, 32},
    {{P::FilterEnvRelease}, 32},
    // VCA and envelope 3
    {{P::VCAInitialLevel}, 0},
    {{P::VCAEnvAmount}, 64},
    {{P::VCAEnvVeloAmount}, 64},
    {{P::VCAEnvDelay}, 0},
    {{P::VCAEnvAttack}, 0},
    {{P::VCAEnvDecay}, 64},
    {{P::VCAEnvSustain}, 64},
    {{P::VCAEnvRelease}, 32},
    {{P::VCAVoiceVolume}, 100},
    {{P::Env3ModDestination}, 0},
    {{P::Env3Amount}, 0},
    {{P::Env3VeloAmount}, 0},
    {{P::Env3Delay}, 0},
    {{P::Env3Attack}, 0},
    {{P::Env3Decay}, 64},
    {{P::Env3Sustain}, 64},
    {{P::Env3Release}, 32},
    {{P::Env3Repeat}, 1},
    // LFOs
    {{P::LFO1Shape}, 0},
    {{P::LFO1Destination}, 0},
    {{P::LFO1Frequency}, 0},
    {{P::LFO1Amount}, 0},
    {{P::LFO1Sync}, 0},
    {{P::LFO2Shape}, 0},
    {{P::LFO2Destination}, 0},
    {{P::LFO2Frequency}, 0},
    {{P::LFO2Amount}, 0},
    {{P::LFO2Sync}, 0},
    {{P::LFO3Shape}, 0},
    {{P::LFO3Destination}, 0},
    {{P::LFO3Frequency}, 0},
    {{P::LFO3Amount}, 0},
    {{P::LFO3Sync}, 0},
    {{P::LFO4Shape}, 0},
    {{P::LFO4Destination}, 0},
    {{P::LFO4Frequency}, 0},
    {{P::LFO4Amount}, 0},
    {{P::LFO4Sync}, 0},
    // Modulation matrix
    {{P::Mod1Source}, 0},
    {{P::Mod1Amount}, 0},
    {{P::Mod1Destination}, 0},
    {{P::Mod2Source}, 0},
    {{P::Mod2Amount}, 0},
    {{P::Mod2Destination}, 0},
    {{P::Mod3Source}, 0},
    {{P::Mod3Amount}, 0},
    {{P::Mod3Destination}, 0},
    {{P::Mod4Source}, 0},
    {{P::Mod4Amount}, 0},
    {{P::Mod4Destination}, 0},
};

constexpr StartValue ArpStartValues[] = {
    {{P::ArpeggiatorMode}, 0},
    {{P::SequencerTrigger}, 0},
    {{P::Arpeggiator}, 0},
    {{P::GatedSequencer}, 0},
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
