#include "frm_help.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {
constexpr int WindowWidth = 515;
constexpr int WindowHeight = 355;
} // namespace

TfrmHelp::TfrmHelp(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Help"));
    resize(WindowWidth, WindowHeight);

    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    // Fixed pitch keeps the picture of the computer keys' rows aligned.
    Memo1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Memo1->setPlainText(HelpLines().join(QLatin1Char('\n')));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

QStringList TfrmHelp::HelpLines() {
    return {
        QStringLiteral("Shortcut help"),
        QString(),
        QStringLiteral("Select sound"),
        QStringLiteral(" Left Click"),
        QStringLiteral(" Shift, Left Click"),
        QStringLiteral(" Ctrl, Left Click"),
        QString(),
        QStringLiteral("Move selected sound"),
        QStringLiteral(" Ctrl, right click"),
        QStringLiteral("Move down"),
        QStringLiteral(" Ctrl, +"),
        QStringLiteral("Move Up"),
        QStringLiteral(" Ctrl, -"),
        QString(),
        QStringLiteral("Program select"),
        QStringLiteral(" left click"),
        QStringLiteral("Next program"),
        QStringLiteral(" +"),
        QStringLiteral("Previous program"),
        QStringLiteral(" -"),
        QString(),
        QStringLiteral("Send sound to Mopho"),
        QStringLiteral(" Enter  or Ctrl, w"),
        QString(),
        QStringLiteral("Computer keyboard "),
        QStringLiteral(" W E    T Y U    O P"),
        QStringLiteral("A S D F G H J K L"),
        QString(),
        QStringLiteral("Z-down octave"),
        QStringLiteral("X-up octave"),
        QString(),
        QString(),
        QString(),
        QStringLiteral("1-Randomize Oscillator"),
        QStringLiteral("2-Randomize Filters"),
        QStringLiteral("3-Randomize Envelopes"),
        QStringLiteral("4-Randomize LFOs"),
        QStringLiteral("5-Randomize Matrix"),
        QStringLiteral("0-Randomize Oscillators, Filters,Envelopes,LFOs and Matrix"),
    };
}

void ShowShortHelp(QWidget* mainWindow) {
    TfrmHelp help(mainWindow);
    help.exec();
}
