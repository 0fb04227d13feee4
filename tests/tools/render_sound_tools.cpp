// Renders Q-Morph's and the parameter locker's windows, for looking at their
// layout without a display.
//
//     render_sound_tools OUTPUT_FOLDER
//
// writes q-morph.png and parameter-locker.png, then runs itself at device
// pixel ratio 2 for the @2x pictures.
#include "frm_locker.h"
#include "frm_morph.h"
#include "sound_library.h"

#include "file_chooser.h"
#include "midi_output.h"
#include "prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QProcess>
#include <QSlider>
#include <QTimer>

#include <cstdio>

namespace {

const char* DoubleFlag = "--double";

bool Save(QWidget& window, const QDir& folder, const QString& name, bool doubled) {
    window.show();
    QApplication::processEvents();
    const QString path =
        folder.filePath(name + (doubled ? QStringLiteral("@2x.png") : QStringLiteral(".png")));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(path), window.width(), window.height());
    return true;
}

class NoOutput : public MidiOutput {
public:
    void SendLongMessage(std::span<const std::uint8_t>) override {}
    void SendShortMessage(std::uint32_t) override {}
};

class NoPrompter : public Prompter {
public:
    Answer Confirm(const QString&, Buttons) override { return Answer::No; }
    void ShowMessage(const QString&) override {}
};

class NoFiles : public FileChooser {
public:
    QString OpenFileName() override { return {}; }
    QString SaveFileName() override { return {}; }
};

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool doubled = arguments.removeAll(QString::fromLatin1(DoubleFlag)) > 0;
    if (doubled)
        qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    const QDir folder(arguments.isEmpty() ? QStringLiteral(".") : arguments.front());
    if (!folder.exists()) {
        std::fprintf(stderr, "no such folder: %s\n", qPrintable(folder.path()));
        return 2;
    }

    TSoundLibrary library;
    library.InitEmptyBanks();
    library.SetSoundName(4, "Warm Pad Sweep");
    library.SetSoundName(Slots::Of(1, 16), "Acid Bass 303");
    NoOutput out;

    TfrmMorph morph(library, out);
    morph.findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
    morph.findChild<QComboBox*>(QStringLiteral("cmbSound1"))->setCurrentIndex(4);
    morph.findChild<QComboBox*>(QStringLiteral("cmbSound2"))->setCurrentIndex(Slots::Of(1, 16));
    morph.findChild<QSlider*>(QStringLiteral("trbMorph"))->setValue(35);
    if (!Save(morph, folder, QStringLiteral("q-morph"), doubled))
        return 1;

    NoPrompter prompter;
    NoFiles files;
    TSoundRecord working = library.SoundBanks[4];
    TfrmLocker locker(LockerContext{library, out, prompter, files}, working);
    for (const char* box : {"ckbOscillator1", "ckbFilter", "ckbArpSeqTrack2"})
        locker.findChild<QCheckBox*>(QString::fromLatin1(box))->setChecked(true);
    locker.btnNextSoundClick();
    if (!Save(locker, folder, QStringLiteral("parameter-locker"), doubled))
        return 1;

    if (doubled)
        return 0;
    // The double-resolution pictures need a fresh program started at that scale.
    return QProcess::execute(QCoreApplication::applicationFilePath(),
                             {folder.path(), QString::fromLatin1(DoubleFlag)});
}
