#include "builtin_instrument_service.h"
#include "main_window.h"
#include "rtmidi_service.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonewright"));
    QApplication::setOrganizationName(QStringLiteral("Tonewright"));
    QApplication::setApplicationVersion(QStringLiteral(TONEWRIGHT_VERSION));
    // Desktops match the window to tonewright.desktop and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tonewright"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/tonewright-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);

    auto midi = MakeBuiltInInstrumentService(std::make_unique<RtMidiService>());
    TfrmMain window(nullptr, nullptr, midi.get());
    if (window.MidiOpenFailed())
        return 1;
    window.show();
    // Once the window is up: a first start asks which instrument to play.
    QTimer::singleShot(0, &window, &TfrmMain::OfferMidiSettingsOnFirstStart);
    return app.exec();
}
