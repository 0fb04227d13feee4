#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class TSoundLibrary;

// What the copy window works on: the main window's library, and how a memo
// line reaches the main window.
struct CopySoundsContext {
    TSoundLibrary& library;
    std::function<void(const QString&)> log;
};

// "Copy Sounds": copies one library sound into a run of slots. Nothing is
// sent to the instrument; the copies are marked "Changed".
class TfrmCopySounds : public QDialog {
    Q_OBJECT
public:
    explicit TfrmCopySounds(CopySoundsContext context, QWidget* parent = nullptr);

    int SourceProgram() const { return sourceProgram_; }
    int DestinationBank() const { return destinationBank_; }
    int DestinationProgram() const { return destinationProgram_; }

    QLabel* lblSourceBank = nullptr;
    QComboBox* cmbBanks = nullptr;
    QLabel* lblSourceProgram = nullptr;
    QComboBox* cmbPrograms = nullptr;
    QLabel* lblDestBank = nullptr;
    QComboBox* cmbBanks2 = nullptr;
    QLabel* lblDestinationProgram = nullptr;
    QComboBox* cmbPrograms2 = nullptr;
    QLabel* lblCount = nullptr;
    QLineEdit* edtCount = nullptr;
    QPushButton* btnRandomSound = nullptr;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Rows "1 name" .. "128 name" of the bank, the program's row selected.
    // Raises no change: only a row the user picks changes a field.
    void FillPrograms(QComboBox& list, int bank, int program);
    void FormActivate();
    void cmbBanksChange(int row);
    void cmbProgramsChange(int row);
    void cmbBanks2Change(int row);
    void cmbPrograms2Change(int row);
    // "300" becomes "128", an empty box or one without a number "1".
    void edtCountExit();
    // True when the key is dropped: only digits, Backspace and Tab pass.
    static bool edtCountKeyPress(const QKeyEvent& key);
    void btnRandomSoundClick();

    CopySoundsContext context_;
    int sourceBank_ = 0;
    int sourceProgram_ = 0;
    int destinationBank_ = 0;
    int destinationProgram_ = 0;
};
