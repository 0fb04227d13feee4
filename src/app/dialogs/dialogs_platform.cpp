#include "file_chooser.h"
#include "prompter.h"

#include <QFileDialog>
#include <QMessageBox>

Prompter::Answer MessageBoxPrompter::Confirm(const QString& question, Buttons buttons) {
    QMessageBox::StandardButtons shown = QMessageBox::Yes | QMessageBox::No;
    if (buttons == Buttons::YesNoCancel)
        shown |= QMessageBox::Cancel;
    const QMessageBox::StandardButton preset =
        buttons == Buttons::YesNoDefaultNo ? QMessageBox::No : QMessageBox::NoButton;
    switch (QMessageBox::question(parent_, QStringLiteral("Confirm"), question, shown, preset)) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    default:
        // Closing the box is no consent: No when there is no Cancel.
        return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
}

void MessageBoxPrompter::ShowMessage(const QString& text) {
    QMessageBox::information(parent_, QStringLiteral("Tonewright"), text);
}

namespace {
const QString SysExFilter = QStringLiteral("SysEx Files (*.syx)");

QFileDialog* MakeDialog(QWidget* parent, QFileDialog::AcceptMode mode) {
    auto* dialog = new QFileDialog(parent);
    dialog->setNameFilter(SysExFilter);
    dialog->setDefaultSuffix(QStringLiteral("syx"));
    dialog->setAcceptMode(mode);
    // The program asks "Do you want to replace it?" itself.
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                        : QFileDialog::AnyFile);
    return dialog;
}

QString Run(QFileDialog* dialog) {
    QString chosen;
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
        chosen = dialog->selectedFiles().first();
    delete dialog;
    return chosen;
}
} // namespace

QString DialogFileChooser::OpenFileName() {
    return Run(MakeDialog(parent_, QFileDialog::AcceptOpen));
}

QString DialogFileChooser::SaveFileName() {
    return Run(MakeDialog(parent_, QFileDialog::AcceptSave));
}
