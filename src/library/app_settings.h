#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

// The settings kept in "dsi_mopho.ini" from one run to the next.
struct TAppSettings {
    // [Globals]
    QString AutoloadFile;         // full path of the bank loaded at start; empty = none
    QString SendToEditBuffer;     // "1": each program change also sends the sound
    bool VerifyAfterSend = false; // sent sounds are read back and compared
    std::uint8_t ToleranceComboBox = 0;
    std::uint8_t ToleranceOctave = 2;
    std::uint8_t ToleranceKeytrack = 0;
    std::uint8_t ToleranceOtherKnobs = 10;
    std::uint8_t ToleranceSemitoneKnobs = 0;
    std::uint8_t ToleranceDetuneKnobs = 3;
    // [Midi]
    std::uint16_t MophoDeviceID = 0;
    QString MidiInDeviceName;
    QString MidiOutDeviceName;
    QString ControllerInDeviceName;
};

inline constexpr const char* SettingsFileName = "dsi_mopho.ini";

// Reads the file into `settings`; keys that are missing or unreadable keep
// their defaults, numbers outside their range are clamped to it. A missing
// file is no failure. Returns one line per problem: a file that exists but
// cannot be read, each key whose value was clamped.
QStringList ReadSettingsFile(const QString& path, TAppSettings& settings);

// The file's text: every key, [Globals] then [Midi], "key=value" lines with
// the platform's line ends, nothing quoted or escaped.
QByteArray SettingsFileText(const TAppSettings& settings);

// Writes every key; the previous file stays intact when writing fails.
// Returns a one-line message on failure.
QString WriteSettingsFile(const QString& path, const TAppSettings& settings);

// Where the settings live: the per-user configuration folder for an
// installed program, else the program's folder when it can be written (a
// build tree, a portable copy), else the per-user folder again.
QString ProgramFolder();

// The choice ProgramFolder makes, for a program in `programFolder`. A program
// is installed when it sits in PREFIX/bin next to PREFIX/share/tonewright:
// that folder belongs to the system even where the user may write to it.
QString ChooseProgramFolder(const QString& programFolder, const QString& userFolder);
