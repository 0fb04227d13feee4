#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

// The short help window "Help" [F1]: the program's shortcuts in a read-only memo.
class TfrmHelp : public QDialog {
    Q_OBJECT
public:
    explicit TfrmHelp(QWidget* parent = nullptr);

    static QStringList HelpLines();

    QPlainTextEdit* Memo1 = nullptr;
};

// The "Short help" command: shows the window modally and frees it.
void ShowShortHelp(QWidget* mainWindow);
