#pragma once

#include <QDialog>
#include <QValidator>

#include <string>
#include <string_view>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TSoundLibrary;

// Sound names are bytes shown as Windows-1252 characters.
QString NameBytesToText(std::string_view nameBytes);
// A character without a Windows-1252 byte becomes '?'.
std::string TextToNameBytes(const QString& text);

// Refuses any input with a character that has no Windows-1252 byte or is a
// control character, so that the name stored is the name shown.
class SoundNameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

// The rename dialog "Sound Name Edit". There is no Cancel button: closing the
// window by its title bar (or Escape) cancels.
class TfrmPatchEditSimple : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxNameLength = 16;

    explicit TfrmPatchEditSimple(QWidget* parent = nullptr);

    // Shows the name bytes, without the trailing blanks that pad every name
    // (they are padded again when stored), all selected for overtyping.
    void SetNameBytes(std::string_view nameBytes);
    std::string NameBytes() const;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* edtName = nullptr;
    QPushButton* Button1 = nullptr;
};

// The list's double click: asks for a new name of `slot`, its caption the
// current name. On OK stores the name (padded to 16 with blanks), marks the
// slot changed and returns true; the caller then refreshes the row.
bool RenameSlot(QWidget* owner, TSoundLibrary& library, int slot);
