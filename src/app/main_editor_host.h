#pragma once

#include "editor_host.h"

#include <functional>

class KeyboardPanel;
class QWidget;
class TSoundLibrary;

// The main window as the sound editor sees it: the note player's octave and
// switch, the location chooser over the library, and the library slot a sent
// sound is kept in.
class MainEditorHost : public EditorHost {
public:
    // `refreshRow` redraws a slot's row; `owner` centres the location chooser.
    MainEditorHost(KeyboardPanel* keyboard, TSoundLibrary& library,
                   std::function<void(int slot)> refreshRow, QWidget* owner);

    int KeyboardOctave() const override;
    void SetKeyboardOctave(int octave) override;
    bool KeyboardOn() const override;
    void SetKeyboardOn(bool on) override;
    std::optional<int> ChooseLocation(int preset) override;
    void StoreSentSound(int slot, const TSoundRecord& sound) override;
    std::optional<TSoundRecord> BreedFrom(const TSoundRecord& sound,
                                          const SchemaList& schema) override;

    // What runs the breeder for the editor.
    using Breeder =
        std::function<std::optional<TSoundRecord>(const TSoundRecord&, const SchemaList&)>;
    void SetBreeder(Breeder breeder) { breeder_ = std::move(breeder); }

private:
    Breeder breeder_;
    KeyboardPanel* keyboard_;
    TSoundLibrary& library_;
    std::function<void(int)> refreshRow_;
    QWidget* owner_;
};

// Keeps `sound` in library slot `slot` as a program of that location, marks
// the slot changed and has its row redrawn.
void KeepSoundInSlot(TSoundLibrary& library, int slot, const TSoundRecord& sound,
                     const std::function<void(int slot)>& refreshRow);
