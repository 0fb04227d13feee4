// Renders the program's windows to PNG files, for the README and for looking
// at them without a display: render_screenshots OUTPUT_FOLDER
#include "main_window.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>

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

    TfrmMain window;
    window.show();
    window.Library().SetSoundName(0, "Fat Bass");
    window.Library().SlotChanged[0] = 1;
    window.RefreshRow(0);
    QApplication::processEvents();

    const QString path = folder.filePath(QStringLiteral("main-window.png"));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}
