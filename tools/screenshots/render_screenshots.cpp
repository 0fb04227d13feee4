// Renders the main window, the MIDI settings and Compare Sounds to PNG files,
// for the user guide and for looking at them without a display:
//
//     render_screenshots OUTPUT_FOLDER
//
// writes main-window.png, midi-settings.png, midi-settings-notes.png and
// compare-sounds.png, then runs itself at device pixel ratio 2 for the @2x
// pictures.
#include "builtin_instrument_service.h"
#include "frm_compare_sounds.h"
#include "frm_settings.h"
#include "library_commands.h"
#include "library_list.h"
#include "main_window.h"
#include "midi_ports.h"
#include "render_program.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char* argv[]) {
    const render::Options options = render::ReadOptions(argc, argv);
    QApplication app(argc, argv);
    if (!render::FolderExists(options))
        return 2;

    // No settings of the user's own are read.
    QTemporaryDir settings;
    qputenv("TONEWRIGHT_PROGRAM_FOLDER", settings.path().toLocal8Bit());
    TfrmMain window;
    window.show();
    // The library as a musician sees it after reading the built-in instrument
    // and renaming a sound.
    window.findChild<QAction*>(QStringLiteral("actReadAllBanks"))->trigger();
    window.Library().SetSoundName(2, "Fat Bass");
    window.Library().MarkChanged(2, true);
    window.List().SelectSlots({2, 3});
    // A long report wraps in the message panel, which shows the newest line.
    window.Commands().LoadBankFile(
        QStringLiteral("/home/musician/Sounds/Mopho/banks of 2024/all.syx"));
    if (!render::ShowAndSave(options, window, QStringLiteral("main-window")))
        return 1;

    // The MIDI settings as on a first start, then with the interface chosen
    // earlier unplugged and the controller set to the instrument's input.
    MidiPorts& ports = window.Ports();
    TfrmSettings settingsDialog(&window);
    settingsDialog.LoadPorts(ports);
    settingsDialog.SetIntroduction(FirstStartIntroduction());
    if (!render::ShowAndSave(options, settingsDialog, QStringLiteral("midi-settings")))
        return 1;
    ports.SetMidiOutDeviceName("DSI Mopho USB");
    ports.SetMidiInDeviceName(BuiltInInstrumentService::DeviceName);
    ports.SetControllerInDeviceName(BuiltInInstrumentService::DeviceName);
    TfrmSettings notesDialog(&window);
    notesDialog.LoadPorts(ports);
    if (!render::ShowAndSave(options, notesDialog, QStringLiteral("midi-settings-notes")))
        return 1;

    // The two selected sounds side by side.
    const auto& sounds = window.Library().Sounds();
    TfrmCompareSounds compare(2, sounds[2], 3, sounds[3], &window);
    if (!render::ShowAndSave(options, compare, QStringLiteral("compare-sounds")))
        return 1;
    return render::RenderDoubleToo(options);
}
