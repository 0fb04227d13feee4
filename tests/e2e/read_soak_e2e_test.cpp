// Full reads in a row over JACK at the program's own pace, as a musician reads
// the instrument again and again, some right after choosing the ports in the
// MIDI settings dialog: every read brings all 384 sounds, equal to the
// instrument's memory.

#include "../support/main_window_probes.h"
#include "../support/program_folder.h"
#include "e2e_fixture.h"

#include "../app/scripted_dialogs.h"

#include "builtin_instrument_service.h"
#include "frm_settings.h"
#include "library_commands.h"
#include "main_window.h"
#include "rtmidi_service.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace {

using namespace e2e;

class ReadSoakOverJack : public VirtualMophoOverJack {
protected:
    // Runs "Midi &Settings ..." and picks the ports whose names end with `port`.
    void ChoosePorts(TfrmMain& window, const QString& port) {
        QTimer::singleShot(0, [port] {
            auto* dialog = qobject_cast<TfrmSettings*>(QApplication::activeModalWidget());
            if (!dialog) {
                ADD_FAILURE() << "the settings dialog is not shown";
                return;
            }
            for (QComboBox* list : {dialog->cmbMidiIns, dialog->cmbMidiOut})
                list->setCurrentIndex(list->findText(port, Qt::MatchEndsWith));
            dialog->btnOk->click();
        });
        Named<QAction>(window, "actMidiSettings")->trigger();
    }

    QTemporaryDir programFolder_;
    ScopedProgramFolder folderChoice_{programFolder_.path()};
    ScriptedPrompter prompter_;
    ScriptedFileChooser chooser_;
};

// 30 reads; every third follows a change of ports at once (away to the
// built-in instrument and back), which is when a read once ended one short.
TEST_F(ReadSoakOverJack, ThirtyFullReadsInARowEachBringEverySound) {
    constexpr int Reads = 30;
    const Bytes bank = TestBank();
    const fs::path bankPath = folder_ / "memory.syx";
    WriteFile(bankPath, bank);
    auto instrument = Start({"--bank", bankPath.string()});
    auto midi = MakeBuiltInInstrumentService(
        std::make_unique<RtMidiService>(RtMidiService::Backend::Jack, name_ + "-app"));
    const std::string settings = MidiSettingsChoosing(*midi, name_);
    ASSERT_FALSE(settings.empty());
    std::ofstream(programFolder_.filePath("dsi_mopho.ini").toStdString()) << settings;
    auto window = std::make_unique<TfrmMain>(&prompter_, &chooser_, midi.get());
    ASSERT_FALSE(AskDeviceVersion(*window).isEmpty());

    const QString standIn = QString::fromStdString(":" + name_);
    QElapsedTimer clock;
    clock.start();
    for (int read = 0; read < Reads; ++read) {
        if (read % 3 == 0) {
            ChoosePorts(*window, QStringLiteral("Tonewright Virtual Mopho"));
            ChoosePorts(*window, standIn);
        }
        window->Library()
            .InitEmptyBanks(); // a sound left over from the last read would hide a loss
        Named<QAction>(*window, "actReadAllBanks")->trigger();
        ASSERT_EQ(MemoLines(*window).last(), "Read 384 sounds.") << "read " << read + 1;
        const fs::path saved = folder_ / "saved.syx";
        window->Commands().SaveBankFile(QString::fromStdString(saved.string()));
        const Bytes savedBytes = ReadFile(saved);
        ASSERT_EQ(savedBytes.size(), bank.size()) << "read " << read + 1;
        for (int slot = 0; slot < Slots::Count; ++slot)
            ASSERT_EQ(Block(savedBytes, slot), Block(bank, slot))
                << "read " << read + 1 << ", " << Slots::Caption(slot);
    }
    std::printf("%d full reads in %.1f s\n", Reads, clock.elapsed() / 1000.0);
    EXPECT_TRUE(prompter_.messages.isEmpty()) << prompter_.messages.join('\n').toStdString();

    window.reset();
    midi.reset();
    EXPECT_EQ(instrument->Stop(), 0);
}

} // namespace
