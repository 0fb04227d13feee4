// Renders the program's windows to PNG files, for the README and for looking
// at them without a display: render_screenshots OUTPUT_FOLDER
#include "library_list.h"
#include "main_window.h"

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
    window.actReadAllBanks->trigger();
    window.Library().SetSoundName(2, "Fat Bass");
    window.Library().SlotChanged[2] = 1;
    window.RefreshRow(2);
    window.List().SelectSlots({2, 3});
    // A long report wraps in the message panel, which shows the newest line.
    window.LoadBankFile(QStringLiteral("/home/musician/Sounds/Mopho/banks of 2024/all.syx"));
    QApplication::processEvents();

    const QString path = folder.filePath(QStringLiteral("main-window.png"));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}
