#include "builtin_instrument_service.h"
#include "main_window.h"
#include "rtmidi_service.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonewright"));
    QApplication::setOrganizationName(QStringLiteral("Tonewright"));
    QApplication::setApplicationVersion(QStringLiteral(TONEWRIGHT_VERSION));

    auto midi = MakeBuiltInInstrumentService(std::make_unique<RtMidiService>());
    TfrmMain window(nullptr, nullptr, midi.get());
    if (window.MidiOpenFailed())
        return 1;
    window.show();
    return app.exec();
}
