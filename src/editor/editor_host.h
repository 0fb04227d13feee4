#pragma once

#include "sound_record.h"

#include <optional>
#include <string>

class MidiOutput;
class Prompter;
class SchemaList;
struct SchemaTolerances;

// What the sound editor asks of the window that opened it: the main
// window's note player, the location chooser and the library. Tests supply
// their own.
class EditorHost {
public:
    virtual ~EditorHost() = default;

    // The note player's octave (0..10) and whether it is on (its menu item
    // checked, its panel shown and its timers running).
    virtual int KeyboardOctave() const = 0;
    virtual void SetKeyboardOctave(int octave) = 0;
    virtual bool KeyboardOn() const = 0;
    virtual void SetKeyboardOn(bool on) = 0;

    // The location chooser with `preset` selected: the chosen slot, or
    // nothing on Cancel.
    virtual std::optional<int> ChooseLocation(int preset) = 0;
    // A sound sent to slot 0..383: the library keeps it there, marks the slot
    // changed and redraws its row.
    virtual void StoreSentSound(int slot, const TSoundRecord& sound) = 0;
    // The sound breeder on the edited sound and its family: the child the
    // user chose to edit, or nothing (the breeder may have played others).
    virtual std::optional<TSoundRecord> BreedFrom(const TSoundRecord& sound,
                                                  const SchemaList& schema) {
        (void)sound;
        (void)schema;
        return std::nullopt;
    }
};

// Everything the editor works with; all of it outlives the editor.
struct EditorContext {
    MidiOutput& output;
    Prompter& prompter;
    EditorHost& host;
    int& lastSendLocation; // the location the send command presets, kept by the opener
    // The program's folder (UTF-8), where the sound family schemas live.
    std::string programFolder;
    // What schemas are derived with, kept by the opener for the program's run.
    SchemaTolerances& tolerances;
};
