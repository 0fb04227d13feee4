#pragma once

#include "parameter_binding.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Sound family schemas: for every bound control of the editor, which of its
// values the randomizer may choose. Position p of an allowed string stands
// for value Min + p of a knob or slider, item p of a list, off (0) or on (1)
// of an LED; "1" allows it, anything else does not, and positions beyond the
// string's end are not allowed.

inline constexpr std::size_t SchemaKeyWidth = 25;

struct SchemaEntry {
    std::string name;    // the control's member, padded with blanks to 25
    int row = 0;         // its row in ParameterBindings
    std::string allowed; // "0"/"1" per value position

    const ParameterBinding& Binding() const;
};

// One entry per bound control, in ParameterBindings order, which is also the
// order of a schema file's lines.
class SchemaList {
public:
    // BuildSchemaList: every allowed string empty.
    SchemaList();

    std::size_t size() const { return entries_.size(); }
    SchemaEntry& operator[](std::size_t row) { return entries_[row]; }
    const SchemaEntry& operator[](std::size_t row) const { return entries_[row]; }
    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

    // The entry whose key in schema files is `member` (without padding), or
    // nullptr; the program itself reaches entries by row.
    SchemaEntry* Find(std::string_view member);
    const SchemaEntry* Find(std::string_view member) const;

private:
    std::vector<SchemaEntry> entries_;
};

inline SchemaList BuildSchemaList() {
    return {};
}

// The built-in schema that allows every value of every control: the first
// entry of the editor's schema list, in use until a schema file is picked,
// and the one to draw from wherever no schema was chosen. It has no file and
// cannot be saved over.
inline constexpr std::string_view AnyValueSchemaName = "(any value)";
SchemaList AnyValueSchema();
// Every value of the control: a "1" per value Min..Max (list items, the
// two states of an LED).
std::string EveryValueAllowed(const ParameterBinding& binding);

// The key of a schema file line: the member padded with blanks to 25.
std::string SchemaKey(std::string_view member);

// Scales for the sequencer steps: value v lies in a scale when steps[v mod 12]
// is '1'; 0 and every multiple of 12 is the root.
struct Scale {
    std::string_view name;
    std::string_view steps; // 12 characters
    bool Contains(int value) const;
};
inline constexpr int ScaleCount = 13;
extern const std::array<Scale, ScaleCount> ScaleTable;
// The scale's row in the tolerance dialog: its name and the names of its
// notes, each followed by a blank: "Ionian C D E F G A H ".
std::string ScaleChoiceText(const Scale& scale);

// The ranges of the tolerance dialog's bars: the four stored tolerances
// 0..MaxTolerance, the sequencer steps' semitones 0..MaxArpTolerance.
inline constexpr int MaxTolerance = 64;
inline constexpr int MaxArpTolerance = 120;

// What a schema is derived with: the four tolerances the settings file keeps
// (section "Globals", keys named like the fields) and the two that last for
// one run of the program.
struct SchemaTolerances {
    int ToleranceComboBox = 0;    // lists: item distance
    int ToleranceOctave = 2;      // note knobs: whole octaves
    int ToleranceOtherKnobs = 10; // other knobs: value distance
    int ToleranceDetuneKnobs = 3; // LFO frequency knobs: value distance
    int ArpTolerance = 0;         // sequencer steps: semitones
    int SchemaScale = 0;          // ScaleTable row + 1; 0 (none chosen yet) means "Chromatic"

    bool operator==(const SchemaTolerances&) const = default;
};

// The allowed string a control showing `value` gets: knobs and sliders one
// character per value Min..Max, lists one per item (value NoSelection allows
// items within the tolerance of -1), LEDs "01" when on and "10" when off.
std::string DerivedAllowed(const ParameterBinding& binding, int value,
                           const SchemaTolerances& tolerances);
// DerivedAllowed for every control, from what the controls show.
SchemaList DeriveSchemaFromSound(const ControlValues& values, const SchemaTolerances& tolerances);

// Schema files: section "[Parameters]", one line "key=allowed" per entry.
// Reading takes any line ending, a UTF-8 byte order mark, keys in any letter
// case with blanks around them; unknown keys, lines of other sections and
// lines that are no key are passed over; of a key given twice the first
// counts. An entry whose key is missing reads as "0".
SchemaList ReadSchemaText(std::string_view text);
// How many entries the text gives a value: 0 for a file that is no schema.
std::size_t SchemaKeyCount(std::string_view text);
// The file `existing` with the list's strings written in: each key's first
// line in the section replaced where it stands, missing keys added after the
// section's last line (a new section at the end when there is none), every
// other line kept as it was. New lines take the file's line ending.
std::string SchemaFileText(std::string_view existing, const SchemaList& list);

// Schema files are named after the schema plus this, in the program's folder.
// Names are the file's bytes, whatever their encoding, so that a file named
// in another system's encoding is loaded and saved under its own name.
inline constexpr std::string_view SchemaFileExtension = ".sndfamily";
inline constexpr std::string_view MissingSchemaNameMessage = "Please set the schema name.";
// Schema files hold a few kilobytes; larger files are refused unread.
inline constexpr std::size_t MaxSchemaFileSize = 1u << 20;

// Why a new schema cannot be saved under `name`, or an empty string: the
// name is empty, the built-in "(any value)", or not a plain file name on
// every system the program runs on (a path separator, "..", a character or
// a device name a file system refuses, text that is not UTF-8, more than
// 200 bytes).
std::string SchemaNameProblem(std::string_view name);

// The name as text to show: itself when it is UTF-8, else its bytes read as
// Windows-1252 (the encoding such names mostly come from).
std::string SchemaDisplayName(std::string_view name);

// The names of the folder's schema files without the extension, sorted
// without regard to letter case so every machine lists them alike. A folder
// that cannot be read lists nothing.
std::vector<std::string> ListSchemaFiles(const std::string& folder);

// True when the folder holds anything under the schema's file name.
bool SchemaFileExists(const std::string& folder, std::string_view name);

struct LoadedSchema {
    SchemaList list;
    std::string error; // empty when read
};
// The schema `name` of the folder. A file that is missing, cannot be read,
// is larger than MaxSchemaFileSize or holds no schema line, or a name that
// would leave the folder, gives an error saying why; the caller then keeps
// its list.
LoadedSchema LoadSchema(const std::string& folder, std::string_view name);

// Writes the list into the schema file `name` of the folder, keeping what
// else the file holds; the file is replaced in one step, so a failed write
// leaves the old one. An existing regular file is saved under its own name
// whatever it is; a new name must pass SchemaNameProblem. Returns an empty
// string, or the message to show.
std::string SaveSchema(const std::string& folder, std::string_view name, const SchemaList& list);

// Where the schema in use came from, for the questions asked before it is
// saved over a file or left for another.
struct SchemaOrigin {
    enum class Kind { AnyValue, File, Derived };
    Kind kind = Kind::AnyValue;
    std::string file;           // the file's name (bytes) when kind is File
    bool changedByHand = false; // allowed values edited since it was loaded or saved
};
// "Save changes to the schema NAME?" when a schema of a file had allowed
// values changed by hand; nothing otherwise.
std::optional<std::string> SaveChangesQuestion(const SchemaOrigin& origin);
// "Replace the schema NAME?"
std::string ReplaceSchemaQuestion(std::string_view name);
