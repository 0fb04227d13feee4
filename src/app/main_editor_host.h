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
    // `owner` centres the location chooser; `log` writes a line into the
    // message panel.
    MainEditorHost(KeyboardPanel* keyboard, TSoundLibrary& library, QWidget* owner,
                   std::function<void(const std::string&)> log,
                   std::function<void()> requestEditBuffer);

    int KeyboardOctave() const override;
    void SetKeyboardOctave(int octave) override;
    bool KeyboardOn() const override;
    void SetKeyboardOn(bool on) override;
    std::optional<int> ChooseLocation(int preset) override;
    void StoreSentSound(int slot, const TSoundRecord& sound) override;
    void ShowInMessagePanel(const std::string& line) override { log_(line); }
    void RequestEditBuffer() override { requestEditBuffer_(); }
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
    QWidget* owner_;
    std::function<void(const std::string&)> log_;
    std::function<void()> requestEditBuffer_;
};
