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
