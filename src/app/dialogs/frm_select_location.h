#pragma once

#include <QDialog>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class TSoundLibrary;

// The location chooser "Select Location": one entry per library slot, in slot
// order; the chosen entry's index is the slot (bank = index / 128).
class TfrmSelectLocation : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSelectLocation(const TSoundLibrary& library, QWidget* parent = nullptr);

    // "bank: 2 Prg:3 " and the slot's name, for slot 130.
    static QString EntryText(int slot, const TSoundLibrary& library);
    // The slot of the selected entry.
    int SelectedSlot() const;

    QLabel* Label1 = nullptr;
    QComboBox* cmbProgram = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
};

// Runs the chooser with `preset` selected; the chosen slot on "Ok", nothing on Cancel.
std::optional<int> ChooseLocation(QWidget* owner, const TSoundLibrary& library, int preset = 0);
