// Renders Q-Morph's and the parameter locker's windows, for looking at their
// layout without a display.
//
//     render_sound_tools OUTPUT_FOLDER
//
// writes q-morph.png, parameter-locker.png and sound-breeder.png, then runs
// itself at device pixel ratio 2 for the @2x pictures.
#include "frm_breeder.h"
#include "frm_locker.h"
#include "frm_morph.h"
#include "render_program.h"
#include "sound_catalogue.h"
#include "sound_library.h"
#include "support/control_sounds.h"

#include "file_chooser.h"
#include "midi_output.h"
#include "prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

class NoOutput : public MidiOutput {
public:
    MidiError SendLongMessage(std::span<const std::uint8_t>) override { return MidiError::None; }
    MidiError SendShortMessage(std::uint32_t) override { return MidiError::None; }
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
    const render::Options options = render::ReadOptions(argc, argv);
    QApplication app(argc, argv);
    if (!render::FolderExists(options))
        return 2;

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
    if (!render::ShowAndSave(options, morph, QStringLiteral("q-morph")))
        return 1;

    NoPrompter prompter;
    NoFiles files;
    TSoundRecord working = library.Sound(4);
    TfrmLocker locker(LockerContext{library, out, prompter, files}, working);
    for (const char* box : {"ckbOscillator1", "ckbFilter", "ckbArpSeqTrack2"})
        locker.findChild<QCheckBox*>(QString::fromLatin1(box))->setChecked(true);
    locker.btnNextSoundClick();
    if (!render::ShowAndSave(options, locker, QStringLiteral("parameter-locker")))
        return 1;

    // Two parents, a first generation with two liked children, the second
    // bred from them, its third child heard.
    library.StoreSound(8, RandomSound(8, "Fat Bass"));
    library.StoreSound(9, RandomSound(9, "Glass Bell"));
    BreedingHistory history;
    LockedGroups locked{};
    locked[12] = true; // Push It
    history.AddParent({library.Sound(8), "A009 Fat Bass"});
    history.AddParent({library.Sound(9), "A010 Glass Bell"});
    history.Breed(AnyValueSchema(), {8, 20, locked, 4711});
    history.SetLiked(1, true);
    history.SetLiked(5, true);
    // The catalogue row as the program shows it, over an empty catalogue.
    QTemporaryDir catalogueFolder;
    auto opened = SoundCatalogue::Open(
        catalogueFolder.filePath(QStringLiteral("catalogue.sqlite")).toStdString());
    SoundCatalogue* catalogue = std::holds_alternative<std::unique_ptr<SoundCatalogue>>(opened)
                                    ? std::get<std::unique_ptr<SoundCatalogue>>(opened).get()
                                    : nullptr;
    TfrmBreeder breeder(
        BreederContext{library, out, history, locked, {}, 20, {}, {}, {}, {}, {}, [catalogue] {
                           return catalogue;
                       }});
    breeder.findChild<QSpinBox*>(QStringLiteral("spnChildren"))->setValue(12);
    breeder.findChild<QLineEdit*>(QStringLiteral("edtSeed"))->setText(QStringLiteral("80386"));
    breeder.findChild<QLineEdit*>(QStringLiteral("edtSeed"))->setModified(true);
    breeder.btnBreedClick();
    breeder.ToggleLiked(6);
    breeder.PlayChild(2);
    if (!render::ShowAndSave(options, breeder, QStringLiteral("sound-breeder")))
        return 1;

    return render::RenderDoubleToo(options);
}
