#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// How the sound editor shows each editable parameter: which control shows
// it, the control's range, the value list of a drop-down list, and how a
// stored byte becomes a control value and back. The randomizer, the morph,
// the locker and the command-line tool read the same table.

enum class ControlKind { Knob, Slider, Led, List };

// The item lists of the drop-down lists.
enum class ValueList {
    None,
    OscillatorShape,
    GlideMode,
    KeyAssignMode,
    LfoShape,
    PushItMode,
    ClockDivide,
    ArpeggiatorMode,
    SequencerTrigger,
    Destinations,           // all 47 modulation destinations
    ControllerDestinations, // the first 44
    Sources,
    Assignables, // "0-0 Oscillator 1 Frequency" .. one item per parameter 0..183
};

// How a control's value reads to a musician: a plain or signed number, a
// note name ("C#3"), or an LFO rate (a number or a clock division).
enum class ValueDisplay { Plain, Signed, Note, LfoRate };

struct ParameterBinding {
    std::string_view key; // its key in schema files; the control's object name
    ControlKind kind;
    int parameter; // 0..183; the pulse-width knobs share 2 and 8 with the shape lists
    int min;       // knobs and sliders: their range; lists: 0 .. items - 1; LEDs: 0..1
    int max;
    int offset; // byte = value + offset (low 8 bits); knobs only
    ValueDisplay display;
    ValueList list;
    std::string_view caption;      // the caption on the panel; empty for lists
    std::string_view group;        // the group box it sits in, "Oscillator 1"
    int page;                      // 0..3, see EditorPageNames
    std::string_view randomButton; // the "R" button beside it, "btnShape1"
};

inline constexpr int BoundControlCount = 175;
inline constexpr int EditorPageCount = 4;
extern const std::array<std::string_view, EditorPageCount> EditorPageNames;

// One row per bound control, in the fixed order of a schema file's lines.
extern const std::array<ParameterBinding, BoundControlCount> ParameterBindings;

// The sound parameters the program's rules name.
namespace SoundParameter {
inline constexpr int Osc1Shape = 2;
inline constexpr int Osc2Shape = 8;
inline constexpr int Env3Repeat = 69;
inline constexpr int Arpeggiator = 98;
inline constexpr int GatedSequencer = 100;
inline constexpr int Osc1Frequency = 0;
inline constexpr int Osc1Fine = 1;
inline constexpr int Osc1Glide = 3;
inline constexpr int Osc1Keyboard = 4;
inline constexpr int SubOsc1Level = 5;
inline constexpr int Osc2Frequency = 6;
inline constexpr int Osc2Fine = 7;
inline constexpr int Osc2Glide = 9;
inline constexpr int Osc2Keyboard = 10;
inline constexpr int SubOsc2Level = 11;
inline constexpr int Sync2To1 = 12;
inline constexpr int GlideMode = 13;
inline constexpr int OscSlop = 14;
inline constexpr int PitchBendRange = 15;
inline constexpr int KeyAssignMode = 16;
inline constexpr int Osc12Mix = 17;
inline constexpr int NoiseLevel = 18;
inline constexpr int ExtAudioInputLevel = 19;
inline constexpr int FilterFrequency = 20;
inline constexpr int FilterResonance = 21;
inline constexpr int FilterKeybAmount = 22;
inline constexpr int FilterAudioMod = 23;
inline constexpr int FilterPoles = 24;
inline constexpr int FilterEnvAmount = 25;
inline constexpr int FilterEnvVeloAmount = 26;
inline constexpr int FilterEnvDelay = 27;
inline constexpr int FilterEnvAttack = 28;
inline constexpr int FilterEnvDecay = 29;
inline constexpr int FilterEnvSustain = 30;
inline constexpr int FilterEnvRelease = 31;
inline constexpr int VCAInitialLevel = 32;
inline constexpr int VCAEnvAmount = 33;
inline constexpr int VCAEnvVeloAmount = 34;
inline constexpr int VCAEnvDelay = 35;
inline constexpr int VCAEnvAttack = 36;
inline constexpr int VCAEnvDecay = 37;
inline constexpr int VCAEnvSustain = 38;
inline constexpr int VCAEnvRelease = 39;
inline constexpr int VCAVoiceVolume = 40;
inline constexpr int LFO1Frequency = 41;
inline constexpr int LFO1Shape = 42;
inline constexpr int LFO1Amount = 43;
inline constexpr int LFO1Destination = 44;
inline constexpr int LFO1Sync = 45;
inline constexpr int LFO2Frequency = 46;
inline constexpr int LFO2Shape = 47;
inline constexpr int LFO2Amount = 48;
inline constexpr int LFO2Destination = 49;
inline constexpr int LFO2Sync = 50;
inline constexpr int LFO3Frequency = 51;
inline constexpr int LFO3Shape = 52;
inline constexpr int LFO3Amount = 53;
inline constexpr int LFO3Destination = 54;
inline constexpr int LFO3Sync = 55;
inline constexpr int LFO4Frequency = 56;
inline constexpr int LFO4Shape = 57;
inline constexpr int LFO4Amount = 58;
inline constexpr int LFO4Destination = 59;
inline constexpr int LFO4Sync = 60;
inline constexpr int Env3ModDestination = 61;
inline constexpr int Env3Amount = 62;
inline constexpr int Env3VeloAmount = 63;
inline constexpr int Env3Delay = 64;
inline constexpr int Env3Attack = 65;
inline constexpr int Env3Decay = 66;
inline constexpr int Env3Sustain = 67;
inline constexpr int Env3Release = 68;
inline constexpr int Mod1Source = 70;
inline constexpr int Mod1Amount = 71;
inline constexpr int Mod1Destination = 72;
inline constexpr int Mod2Source = 73;
inline constexpr int Mod2Amount = 74;
inline constexpr int Mod2Destination = 75;
inline constexpr int Mod3Source = 76;
inline constexpr int Mod3Amount = 77;
inline constexpr int Mod3Destination = 78;
inline constexpr int Mod4Source = 79;
inline constexpr int Mod4Amount = 80;
inline constexpr int Mod4Destination = 81;
inline constexpr int ModWheelAmount = 82;
inline constexpr int ModWheelDestination = 83;
inline constexpr int PressureAmount = 84;
inline constexpr int PressureDestination = 85;
inline constexpr int BreathAmount = 86;
inline constexpr int BreathDestination = 87;
inline constexpr int VelocityAmount = 88;
inline constexpr int VelocityDestination = 89;
inline constexpr int FootControlAmount = 90;
inline constexpr int FootControlDestination = 91;
inline constexpr int PushItNoteNumber = 92;
inline constexpr int PushItVelocity = 93;
inline constexpr int PushItMode = 94;
inline constexpr int BPMTempo = 95;
inline constexpr int ClockDivide = 96;
inline constexpr int ArpeggiatorMode = 97;
inline constexpr int SequencerTrigger = 99;
inline constexpr int Assignable1 = 105;
inline constexpr int Assignable2 = 106;
inline constexpr int Assignable3 = 107;
inline constexpr int Assignable4 = 108;
inline constexpr int FirstSeqDestination = 101; // track t (1..4): 100 + t
inline constexpr int FirstSeqStep = 120;        // track t, step s: 120 + 16 (t - 1) + s - 1
inline constexpr int SeqTracks = 4;
inline constexpr int SeqSteps = 16;
inline constexpr int Count = 200; // parameters 0..199 have an NRPN number
} // namespace SoundParameter

// What the table knows of one sound parameter 0..199.
struct SoundParameterFacts {
    int nrpn;                 // the NRPN number that carries it
    std::string name;         // "98 Arpeggiator Off/On"; the name characters "184 Name 1"
    int row = -1;             // its control (an oscillator shape: the list); -1: none
    int pulseWidthRow = -1;   // an oscillator shape's pulse-width knob
    std::string_view section; // the group box of its control; empty when none
};
const SoundParameterFacts& ParameterFacts(int parameter);
// The row of a parameter's control (the list for a shape), or -1.
int RowOfParameter(int parameter);
// The pulse-width knobs share their parameter with a shape list.
bool IsPulseWidthKnob(const ParameterBinding& binding);
// Rows of the sequencer: a track's destination list and its steps (1..16).
int SeqDestinationRow(int track);
int SeqStepRow(int track, int step);
// The sequencer track (1..4) a row's step or destination belongs to, or 0.
int SeqTrackOfRow(int row);
// "Osc 1 Freq", "Osc 2 Freq" and "Osc 1 and 2 Freq": a track aimed at one
// plays notes, so its steps read as note names.
bool IsPitchDestination(int destination);

// One control of the table named by its parameter: the pulse-width knobs
// share their parameter with an oscillator's shape list.
struct ControlRef {
    int parameter;
    bool pulseWidth = false;
};
constexpr ControlRef PulseWidthOf(int shape) {
    return {shape, true};
}
// The row of a control; -1 when the parameter has no control.
int RowOf(ControlRef control);

// The row whose schema key is `key`, or -1.
int BindingIndex(std::string_view key);

// Value texts, UTF-8.
inline constexpr int ModDestinationCount = 47;
inline constexpr int ControllerDestinationCount = 44;
inline constexpr int ModSourceCount = 23;
inline constexpr int LfoSyncNameCount = 16;
inline constexpr int NamedParameterCount = 184;
extern const std::array<const char*, ModDestinationCount> ModDestinations;
extern const std::array<const char*, ModSourceCount> ModSources;
extern const std::array<const char*, LfoSyncNameCount> LfoSyncNames;
// "0 Oscillator 1 Frequency" .. "183 Sequence Track4, step 16".
const std::array<std::string, NamedParameterCount>& ParameterNames();
// The items of a list in order; empty for ValueList::None.
const std::vector<std::string>& ListItems(ValueList list);

// 0..150 as a number, 151..166 the LFO sync names.
std::string LfoFrequencyText(int value);
// A value as the control's display reads it: a number, a note name, a rate;
// a list's item text.
std::string ValueText(const ParameterBinding& binding, int value);
// The value a typed text stands for, read the way ValueText writes it (a
// number is taken for any control); nothing when it names no value of the
// control.
std::optional<int> ValueFromText(const ParameterBinding& binding, std::string_view text);
// What a control's caption shows at `value`: the note label for note knobs,
// the rate for LFO frequency knobs, otherwise the row's caption.
std::string CaptionAt(const ParameterBinding& binding, int value);

// A control's value: knob or slider position, LED 0 (off) or 1 (on), list
// item index, NoSelection for a list showing no item.
inline constexpr int NoSelection = -1;
using ControlValues = std::array<int, BoundControlCount>;

// What `binding`'s control shows for a stored byte: NoSelection for a list
// with no item for it; nothing when a knob or slider refuses it (or a
// pulse-width knob under a shape below "Pulse Wave"), which then keeps its
// position.
std::optional<int> ValueForByte(const ParameterBinding& binding, std::uint8_t byte);
// The byte a control's value stores. An oscillator shape needs both of its
// controls: use ShapeByte.
std::uint8_t ByteForValue(const ParameterBinding& binding, int value);
// Shape items 0..3 store the item; "Pulse Wave" (4) stores 4 + pulse width.
std::uint8_t ShapeByte(int shapeItem, int pulseWidth);
