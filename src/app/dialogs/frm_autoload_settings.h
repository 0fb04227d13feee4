#pragma once

#include <QDialog>
#include <QString>

class FileChooser;
class QCheckBox;
class QSpinBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

// The two settings the dialog edits, as they stand in the settings file.
struct AutoloadValues {
    QString AutoloadFile;     // full path of the bank file loaded at start; empty = none
    QString SendToEditBuffer; // "1" = on, anything else = off
    bool VerifyAfterSend = false;
    int MidiChannel = 1; // the instrument's, 1..16
    bool operator==(const AutoloadValues&) const = default;
};

// The autoload settings dialog "Settings". There is no Cancel button: closing
// the window by its title bar (or Escape) changes nothing.
class TfrmAutoloadSettings : public QDialog {
    Q_OBJECT
public:
    TfrmAutoloadSettings(FileChooser& files, const AutoloadValues& values,
                         QWidget* parent = nullptr);

    // The values the controls stand for: no file unless "Enable" is checked.
    AutoloadValues Values() const;
    // "...": a chosen .syx file goes into the edit and enables autoload.
    void Button2Click();

    QGroupBox* GroupBox1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QLineEdit* edtAutoload = nullptr;
    QPushButton* Button2 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* chbVerifyAfterSend = nullptr;
    QSpinBox* spnMidiChannel = nullptr; // "MIDI channel"
    QPushButton* Button1 = nullptr;

private:
    FileChooser& files_;
};

// The "&Tonewright Settings" command: runs the dialog; on OK writes the new
// values into `values` and returns true.
bool EditAutoloadSettings(QWidget* owner, FileChooser& files, AutoloadValues& values);
