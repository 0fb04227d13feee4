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

// Takes only the characters the instrument can show (codes 32..126), so that
// the name stored is the name the instrument shows.
class SoundNameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& position) const override;
};

// The rename dialog "Sound Name Edit". "Cancel", Escape and the title bar's
// close button leave the name as it was.
class TfrmPatchEditSimple : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxNameLength = 16;

    explicit TfrmPatchEditSimple(QWidget* parent = nullptr);

    // Shows the name bytes, without the trailing blanks that pad every name
    // (they are padded again when stored), all selected for overtyping. A
    // byte the instrument cannot show is shown as '?'.
    void SetNameBytes(std::string_view nameBytes);
    // The typed name; the bytes given to SetNameBytes while it is not edited.
    std::string NameBytes() const;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* edtName = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

private:
    std::string givenBytes_;
    QString shownText_;
};

// The list's double click: asks for a new name of `slot`, its caption the
// current name. On OK stores the name (padded to 16 with blanks), marks the
// slot changed and returns true; the caller then refreshes the row.
bool RenameSlot(QWidget* owner, TSoundLibrary& library, int slot);
