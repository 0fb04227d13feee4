#include "main_editor_host.h"

#include "frm_select_location.h"
#include "keyboard_panel.h"
#include "sound_library.h"

#include <QApplication>

MainEditorHost::MainEditorHost(KeyboardPanel* keyboard, TSoundLibrary& library,
                               std::function<void(int slot)> refreshRow, QWidget* owner)
    : keyboard_(keyboard), library_(library), refreshRow_(std::move(refreshRow)), owner_(owner) {}

int MainEditorHost::KeyboardOctave() const {
    return keyboard_ ? keyboard_->Player().KeyboardOctave : NotePlayer::StartOctave;
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
    KeepSoundInSlot(library_, slot, sound, refreshRow_);
}

std::optional<TSoundRecord> MainEditorHost::BreedFrom(const TSoundRecord& sound,
                                                      const SchemaList& schema) {
    return breeder_ ? breeder_(sound, schema) : std::nullopt;
}

void KeepSoundInSlot(TSoundLibrary& library, int slot, const TSoundRecord& sound,
                     const std::function<void(int slot)>& refreshRow) {
    if (!Slots::IsValid(slot))
        return;
    TSoundRecord kept = sound;
    // The library holds programs of their own location, whatever message
    // the sound arrived in.
    kept[SoundLayout::CommandByte] = 0x02;
    kept[SoundLayout::BankByte] = static_cast<std::uint8_t>(Slots::BankOf(slot));
    kept[SoundLayout::ProgramByte] = static_cast<std::uint8_t>(Slots::ProgramOf(slot));
    library.SoundBanks[static_cast<std::size_t>(slot)] = kept;
    library.SlotChanged[static_cast<std::size_t>(slot)] = 1;
    if (refreshRow)
        refreshRow(slot);
}
