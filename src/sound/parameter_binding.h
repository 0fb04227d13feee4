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

// Knob tags: the caption of a note knob shows the note, the caption of an
// LFO frequency knob its rate; other knobs keep their caption.
inline constexpr int NoteKnobTag = 10;
inline constexpr int LfoFrequencyKnobTag = 20;

struct ParameterBinding {
    std::string_view member; // the control's object name, "knobOsc1Frequency"
    ControlKind kind;
    int parameter; // 0..183; the pulse-width knobs share 2 and 8 with the shape lists
    int min;       // knobs and sliders: their range; lists: 0 .. items - 1; LEDs: 0..1
    int max;
    int offset; // byte = value + offset (low 8 bits); knobs only
    int tag;    // NoteKnobTag, LfoFrequencyKnobTag, otherwise 0 or 1
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

// The row of the control named `member`, or -1.
int BindingIndex(std::string_view member);

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
