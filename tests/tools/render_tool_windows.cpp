// Renders the copy window and the global settings window, for looking at
// their layout without a display.
//
//     render_tool_windows OUTPUT_FOLDER
//
// writes copy-sounds.png and global-settings.png, then runs itself at device
// pixel ratio 2 for the @2x pictures.

#include "frm_copy_sounds.h"
#include "frm_global.h"
#include "sound_library.h"
#include "support/recording_midi_output.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QProcess>

#include <cstdio>

namespace {
const char* DoubleFlag = "--double";

bool Save(QWidget& window, const QDir& folder, const QString& name, bool doubled) {
    window.show();
    QApplication::processEvents();
    const QString path = folder.filePath(name + (doubled ? "@2x.png" : ".png"));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%dx%d)\n", qPrintable(path), window.width(), window.height());
    return true;
}
} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool doubled = arguments.removeAll(QString::fromLatin1(DoubleFlag)) > 0;
    if (doubled)
        qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    const QDir folder(arguments.isEmpty() ? QStringLiteral(".") : arguments.front());
    if (!folder.exists()) {
        std::fprintf(stderr, "no such folder: %s\n", qPrintable(folder.path()));
        return 2;
    }

    TSoundLibrary library;
    library.InitEmptyBanks();
    library.SetSoundName(4, "Fat Bass Lead");
    TfrmCopySounds copy({library, nullptr, nullptr});
    copy.cmbPrograms->setCurrentIndex(4);
    if (!Save(copy, folder, "copy-sounds", doubled))
        return 1;

    RecordingMidiOutput out;
    TfrmGlobal globals(out);
    globals.LoadGlobals({14, 43, 1, 3, 0, 0, 1, 1, 0, 0});
    if (!Save(globals, folder, "global-settings", doubled))
        return 1;

    if (doubled)
        return 0;
    return QProcess::execute(QCoreApplication::applicationFilePath(),
                             {folder.path(), QString::fromLatin1(DoubleFlag)});
}
