#include "app_settings.h"

#include "program_file_io.h"
#include "sound_record.h"

// The 8-bit reader, keys and sections in any letter case; values are taken
// as bytes and decoded here.
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <string>

namespace {

constexpr const char* Globals = "Globals";
constexpr const char* Midi = "Midi";

// Files written by other programs on Windows hold paths in the ANSI code
// page; text that is not UTF-8 is read as Windows-1252.
QString TextOf(const char* bytes) {
    const QByteArray raw(bytes);
    QString text = QString::fromUtf8(raw);
    if (text.toUtf8() != raw)
        text = QString::fromStdString(NameToUtf8(std::string(raw.constData(), raw.size())));
    return text;
}

QString ReadString(const CSimpleIniA& ini, const char* section, const char* key) {
    return TextOf(ini.GetValue(section, key, ""));
}

// The tolerance dialog's bars reach 64; the two tolerances without a bar
// are kept as the byte they are.
constexpr long MaxTolerance = 64;
constexpr long MaxByte = 255;
constexpr long MaxDeviceID = 127; // "Broadcast"

// Reads integer settings; a value outside its range is clamped, never
// wrapped, and named in one line of `problems`.
class IntegerReader {
public:
    IntegerReader(const CSimpleIniA& ini, const QString& path, QStringList& problems)
        : ini_(ini), path_(path), problems_(problems) {}

    // A value that is no number keeps `fallback`.
    template <typename Integer>
    void Read(const char* section, const char* key, long highest, Integer& value) const {
        Read(section, key, 0, highest, value);
    }
    template <typename Integer>
    void Read(const char* section, const char* key, long lowest, long highest,
              Integer& value) const {
        const long read = ini_.GetLongValue(section, key, value);
        const long clamped = std::clamp(read, lowest, highest);
        if (clamped != read)
            problems_ << QStringLiteral("The setting %1=%2 in %3 is outside %4..%5: %6 is used.")
                             .arg(QLatin1String(key))
                             .arg(read)
                             .arg(QDir::toNativeSeparators(path_))
                             .arg(lowest)
                             .arg(highest)
                             .arg(clamped);
        value = static_cast<Integer>(clamped);
    }

private:
    const CSimpleIniA& ini_;
    const QString& path_;
    QStringList& problems_;
};

} // namespace

QStringList ReadSettingsFile(const QString& path, TAppSettings& settings) {
    if (!QFileInfo::exists(path))
        return {};
    QByteArray bytes;
    if (const QString error = ReadWholeFile(path, bytes); !error.isEmpty())
        return {error};
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3); // a byte order mark some editors put first
    CSimpleIniA ini;
    ini.SetUnicode(false);
    ini.SetMultiKey(false);
    if (ini.LoadData(bytes.constData(), static_cast<std::size_t>(bytes.size())) < 0)
        return {
            QStringLiteral("Cannot read the settings in %1").arg(QDir::toNativeSeparators(path))};

    settings.AutoloadFile = ReadString(ini, Globals, "Autoloadfile");
    settings.SendToEditBuffer = ReadString(ini, Globals, "sendtoeditbuffer");
    settings.VerifyAfterSend = ini.GetLongValue(Globals, "VerifyAfterSend", 0) != 0;
    QStringList problems;
    const IntegerReader integers(ini, path, problems);
    integers.Read(Globals, "ToleranceComboBox", MaxTolerance, settings.ToleranceComboBox);
    integers.Read(Globals, "ToleranceOctave", MaxTolerance, settings.ToleranceOctave);
    integers.Read(Globals, "ToleranceKeytrack", MaxByte, settings.ToleranceKeytrack);
    integers.Read(Globals, "ToleranceOtherKnobs", MaxTolerance, settings.ToleranceOtherKnobs);
    integers.Read(Globals, "ToleranceSemitoneKnobs", MaxByte, settings.ToleranceSemitoneKnobs);
    integers.Read(Globals, "ToleranceDetuneKnobs", MaxTolerance, settings.ToleranceDetuneKnobs);
    integers.Read(Midi, "MophoDeviceID", MaxDeviceID, settings.MophoDeviceID);
    settings.MidiInDeviceName = ReadString(ini, Midi, "MidiInDeviceID").trimmed();
    settings.MidiOutDeviceName = ReadString(ini, Midi, "MidiOutDeviceID").trimmed();
    settings.ControllerInDeviceName = ReadString(ini, Midi, "MidiInDeviceIDKeyboard").trimmed();
    integers.Read(Midi, "MidiChannel", 1, 16, settings.MidiChannel);
    return problems;
}

QByteArray SettingsFileText(const TAppSettings& settings) {
#if defined(Q_OS_WIN)
    const QByteArray newline = "\r\n";
#else
    const QByteArray newline = "\n";
#endif
    QByteArray text;
    const auto section = [&](const char* name) {
        if (!text.isEmpty())
            text += newline;
        text += QByteArray("[") + name + "]" + newline;
    };
    // Values are written as they are: readers of this format take the rest
    // of the line, backslashes and all.
    const auto line = [&](const char* key, QByteArray value) {
        value.replace('\r', ' ').replace('\n', ' '); // one line per key, whatever was typed
        text += QByteArray(key) + "=" + value + newline;
    };
    const auto number = [](long value) {
        return QByteArray::number(static_cast<qlonglong>(value));
    };

    section(Globals);
    line("Autoloadfile", settings.AutoloadFile.toUtf8());
    line("sendtoeditbuffer", settings.SendToEditBuffer.toUtf8());
    line("ToleranceComboBox", number(settings.ToleranceComboBox));
    line("ToleranceOctave", number(settings.ToleranceOctave));
    line("ToleranceKeytrack", number(settings.ToleranceKeytrack));
    line("ToleranceOtherKnobs", number(settings.ToleranceOtherKnobs));
    line("ToleranceSemitoneKnobs", number(settings.ToleranceSemitoneKnobs));
    line("ToleranceDetuneKnobs", number(settings.ToleranceDetuneKnobs));
    // Added later: the last key of its section, after the ones older readers know.
    line("VerifyAfterSend", settings.VerifyAfterSend ? "1" : "0");
    section(Midi);
    line("MophoDeviceID", number(settings.MophoDeviceID));
    line("MidiInDeviceID", settings.MidiInDeviceName.toUtf8());
    line("MidiOutDeviceID", settings.MidiOutDeviceName.toUtf8());
    line("MidiInDeviceIDKeyboard", settings.ControllerInDeviceName.toUtf8());
    // Added later: the last key of its section.
    line("MidiChannel", number(settings.MidiChannel));
    return text;
}

QString WriteSettingsFile(const QString& path, const TAppSettings& settings) {
    return WriteWholeFile(path, SettingsFileText(settings));
}

QString ProgramFolder() {
    // Tests and portable installs may name the folder themselves.
    if (const QString chosen = qEnvironmentVariable("TONEWRIGHT_PROGRAM_FOLDER"); !chosen.isEmpty())
        return QDir(chosen).absolutePath();
    const QString user = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QString chosen = ChooseProgramFolder(QCoreApplication::applicationDirPath(), user);
    if (chosen == user)
        QDir().mkpath(user);
    return chosen;
}

QString ChooseProgramFolder(const QString& programFolder, const QString& userFolder) {
    const QDir own(programFolder);
    const bool installed = own.dirName() == QLatin1String("bin") &&
                           QFileInfo(own.filePath(QStringLiteral("../share/tonewright"))).isDir();
    if (!installed && QFileInfo(programFolder).isWritable())
        return own.absolutePath();
    return userFolder;
}
