#include "main_window.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonewright"));
    QApplication::setOrganizationName(QStringLiteral("Tonewright"));
    QApplication::setApplicationVersion(QStringLiteral(TONEWRIGHT_VERSION));

    TfrmMain window;
    window.show();
    return app.exec();
}
