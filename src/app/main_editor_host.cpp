#include "main_editor_host.h"

#include "frm_select_location.h"
#include "keyboard_panel.h"
#include "sound_library.h"

#include <QApplication>

MainEditorHost::MainEditorHost(KeyboardPanel* keyboard, TSoundLibrary& library, QWidget* owner,
                               std::function<void(const std::string&)> log,
                               std::function<void()> requestEditBuffer)
    : keyboard_(keyboard), library_(library), owner_(owner), log_(std::move(log)),
      requestEditBuffer_(std::move(requestEditBuffer)) {}

int MainEditorHost::KeyboardOctave() const {
    return keyboard_ ? keyboard_->Player().Octave() : NotePlayer::StartOctave;
}

void MainEditorHost::SetKeyboardOctave(int octave) {
    if (keyboard_)
        keyboard_->SetOctave(octave);
}

bool MainEditorHost::KeyboardOn() const {
    return keyboard_ && keyboard_->KeyboardOn();
}

void MainEditorHost::SetKeyboardOn(bool on) {
    if (keyboard_)
        keyboard_->SetKeyboardOn(on);
}

std::optional<int> MainEditorHost::ChooseLocation(int preset) {
    // Centred over the editor, which is the modal window in front.
    QWidget* owner = QApplication::activeModalWidget();
    return ::ChooseLocation(owner ? owner : owner_, library_, preset);
}

void MainEditorHost::StoreSentSound(int slot, const TSoundRecord& sound) {
    library_.KeepSound(slot, sound);
}

std::optional<TSoundRecord> MainEditorHost::BreedFrom(const TSoundRecord& sound,
                                                      const SchemaList& schema) {
    return breeder_ ? breeder_(sound, schema) : std::nullopt;
}
