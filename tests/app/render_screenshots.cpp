// Renders the program's windows to PNG files, for the README and for looking
// at them without a display: render_screenshots OUTPUT_FOLDER
#include "builtin_instrument_service.h"
#include "frm_settings.h"
#include "library_list.h"
#include "main_window.h"
#include "midi_ports.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QDir folder(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
    if (!folder.exists()) {
        std::fprintf(stderr, "no such folder: %s\n", qPrintable(folder.path()));
        return 2;
    }

    // No settings of the user's own are read.
    QTemporaryDir settings;
    qputenv("TONEWRIGHT_PROGRAM_FOLDER", settings.path().toLocal8Bit());
    TfrmMain window;
    window.show();
    // The library as a musician sees it after reading the built-in instrument
    // and renaming a sound.
    window.findChild<QAction*>(QStringLiteral("actReadAllBanks"))->trigger();
    window.Library().SetSoundName(2, "Fat Bass");
    window.Library().SlotChanged[2] = 1;
    window.RefreshRow(2);
    window.List().SelectSlots({2, 3});
    // A long report wraps in the message panel, which shows the newest line.
    window.LoadBankFile(QStringLiteral("/home/musician/Sounds/Mopho/banks of 2024/all.syx"));
    QApplication::processEvents();

    const auto save = [&](QWidget& widget, const char* name) {
        const QString path = folder.filePath(QString::fromLatin1(name));
        if (!widget.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return false;
        }
        std::printf("%s\n", qPrintable(path));
        return true;
    };
    if (!save(window, "main-window.png"))
        return 1;

    // The MIDI settings as on a first start, then with the interface chosen
    // earlier unplugged and the controller set to the instrument's input.
    MidiPorts& ports = window.Ports();
    TfrmSettings settingsDialog(&window);
    settingsDialog.LoadPorts(ports);
    settingsDialog.SetIntroduction(FirstStartIntroduction());
    settingsDialog.show();
    QApplication::processEvents();
    if (!save(settingsDialog, "midi-settings.png"))
        return 1;
    ports.MidiOutDeviceName = "DSI Mopho USB";
    ports.MidiInDeviceName = ports.ControllerInDeviceName = BuiltInInstrumentService::DeviceName;
    TfrmSettings notesDialog(&window);
    notesDialog.LoadPorts(ports);
    notesDialog.show();
    QApplication::processEvents();
    return save(notesDialog, "midi-settings-notes.png") ? 0 : 1;
}
