// The librarian's round trip over JACK, as a musician runs it in the main
// window (offscreen): back up the instrument's three banks to a file, and
// rename a sound and send it back.

#include "../support/main_window_probes.h"
#include "../support/modal_window.h"
#include "../support/named_child.h"
#include "../support/nrpn_messages.h"
#include "../support/program_folder.h"
#include "window_fixture.h"

#include "../app/scripted_dialogs.h"

#include "builtin_instrument_service.h"
#include "editor_sections.h"
#include "frm_create_schema_parameters.h"
#include "frm_patch_edit.h"
#include "frm_patch_edit_simple.h"
#include "frm_sysex_receiver.h"
#include "instrument_commands.h"
#include "knob.h"
#include "library_commands.h"
#include "library_list.h"
#include "main_window.h"
#include "message_memo.h"
#include "parameter_tables.h"
#include "rtmidi_service.h"
#include "schema.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

using namespace e2e;

class LibrarianOverJack : public WindowOverJack {
protected:
    void SetUp() override {
        VirtualMophoOverJack::SetUp();
        bankPath_ = folder_ / "backup.syx";
        WriteFile(bankPath_, bank_);
    }

    const Bytes bank_ = TestBank();
    fs::path bankPath_;
};

TEST_F(LibrarianOverJack, AllBanksReadAndSavedGiveTheInstrumentsBankFile) {
    auto instrument = Start({"--bank", bankPath_.string()});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilConnected(*window));

    Named<QAction>(*window, "actReadAllBanks")->trigger(); // returns once the wait box has closed
    EXPECT_EQ(window->WaitBox()->LabelText(), "Received 384 sound.");
    const QStringList lines = MemoLines(*window);
    EXPECT_EQ(lines.mid(lines.size() - 2),
              (QStringList{"DSIM Bank: 3 Sound:127", "Read 384 sounds."}));
    EXPECT_EQ(window->List().ShownName(0).trimmed(), "Backup A001");

    const fs::path saved = folder_ / "saved.syx";
    window->Commands().SaveBankFile(QString::fromStdString(saved.string()));
    const Bytes savedBytes = ReadFile(saved);
    ASSERT_EQ(savedBytes.size(), bank_.size());
    for (int slot = 0; slot < Slots::Count; ++slot)
        ASSERT_EQ(Block(savedBytes, slot), Block(bank_, slot)) << Slots::Caption(slot);
    EXPECT_TRUE(prompter_.messages.isEmpty()) << prompter_.messages.join('\n').toStdString();

    CloseWindow(window);
    EXPECT_EQ(instrument->Stop(), 0);
}

TEST_F(LibrarianOverJack, RenamedSoundsSentBackAreInTheInstrumentsMemory) {
    const fs::path instrumentMemory = folder_ / "memory.syx";
    auto instrument = Start({"--bank", bankPath_.string(), "--save", instrumentMemory.string()});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilConnected(*window));

    // Read each sound, rename it in the rename dialog, then send both at once.
    const std::vector<int> renamed = {Slots::Of(1, 9), Slots::Count - 1};
    const std::vector<QString> names = {"Bass", "Last Lead"};
    for (std::size_t i = 0; i < renamed.size(); ++i) {
        window->List().SetCurrentRow(renamed[i]);
        Named<QAction>(*window, "actReadCurrentSound")->trigger();
        ASSERT_EQ(window->List().ShownName(renamed[i]).trimmed(),
                  QString::fromStdString("Backup " + Slots::Caption(renamed[i])));
        // A read selects the rows last collected again; the press of the
        // double click that renames selects the row once more.
        window->List().SetCurrentRow(renamed[i]);
        WhenShown<TfrmPatchEditSimple>([name = names[i]](TfrmPatchEditSimple& dialog) {
            dialog.findChild<QLineEdit*>("edtName")->setText(name);
            dialog.accept();
        });
        window->RenameCurrentRow();
        ASSERT_TRUE(window->Library().IsChanged(renamed[i]));
    }
    window->List().SelectSlots(renamed);
    prompter_.answers = {Prompter::Answer::Yes};
    window->Instrument().SendSelectedSounds();
    EXPECT_EQ(prompter_.questions,
              QStringList{"Send 2 sounds into the Mopho's memory, B010 to C128?"});
    EXPECT_FALSE(window->Library().IsChanged(renamed[0]));
    EXPECT_FALSE(window->Library().IsChanged(renamed[1]));
    std::vector<Bytes> sent;
    for (int slot : renamed)
        sent.push_back(BankFileRecordBytes(slot, window->Library().Sound(slot)));

    CloseWindow(window);
    ASSERT_EQ(instrument->Stop(), 0);
    const Bytes memory = ReadFile(instrumentMemory);
    ASSERT_EQ(memory.size(), bank_.size());
    const BankFileContents stored = ParseBankFile(memory, "memory.syx");
    ASSERT_EQ(stored.records.size(), static_cast<std::size_t>(Slots::Count));
    for (std::size_t i = 0; i < renamed.size(); ++i) {
        EXPECT_EQ(GetSoundName(stored.records[static_cast<std::size_t>(renamed[i])].record),
                  names[i].leftJustified(16).toStdString());
        EXPECT_EQ(Block(memory, renamed[i]), sent[i]);
    }
    // Nothing else was touched.
    for (int slot = 0; slot < Slots::Count; ++slot) {
        if (std::find(renamed.begin(), renamed.end(), slot) == renamed.end()) {
            ASSERT_EQ(Block(memory, slot), Block(bank_, slot)) << Slots::Caption(slot);
        }
    }
}

TEST_F(LibrarianOverJack, VerifyAfterSendNamesLostSounds) {
    // The instrument loses the first program sent to each location.
    auto instrument = Start({"--bank", bankPath_.string(), "--fault", "drop-first-write"});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilConnected(*window));
    window->Instrument().SetSendDelay(50);
    window->Settings().VerifyAfterSend = true;
    window->Library().SetSoundName(3, "Sent Once");
    window->Library().SetSoundName(4, "Sent Once Too");
    window->List().SelectSlots({3, 4});

    prompter_.answers = {Prompter::Answer::Yes};
    window->Instrument().SendSelectedSounds();
    QStringList lines = MemoLines(*window);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.last(), "Read back 2 of 2 sounds: 2 differently.");
    // The library's sounds are empty ones: everything differs, the first few are named.
    EXPECT_TRUE(lines[lines.size() - 3].startsWith("A004 Sent Once read back differently: "))
        << lines[lines.size() - 3].toStdString();
    EXPECT_TRUE(lines[lines.size() - 3].endsWith(" more")) << lines[lines.size() - 3].toStdString();
    EXPECT_TRUE(lines[lines.size() - 2].startsWith("A005 Sent Once Too read back differently: "));
    // The library keeps its sounds; sent again, they stay.
    EXPECT_EQ(window->Library().GetSoundName(3), "Sent Once       ");
    prompter_.answers = {Prompter::Answer::Yes};
    window->Instrument().SendSelectedSounds();
    EXPECT_EQ(MemoLines(*window).last(), "All 2 sounds read back equal.");

    CloseWindow(window);
    ASSERT_EQ(instrument->Stop(), 0);
}

// About two minutes: 384 program dumps, 300 ms apart, as the program sends them.
TEST_F(LibrarianOverJack, AllSoundsSentAtRealPaceReachMemory) {
    const fs::path instrumentMemory = folder_ / "memory.syx";
    auto instrument = Start({"--save", instrumentMemory.string()}); // its own sounds
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->Instrument().SendDelay(), 300);
    ASSERT_TRUE(WaitUntilConnected(*window));

    chooser_.paths = {QString::fromStdString(bankPath_.string())};
    Named<QAction>(*window, "actLoadBankFile")->trigger();
    ASSERT_EQ(window->List().ShownName(0).trimmed(), "Backup A001");
    Named<QAction>(*window, "actSelectAllSounds")->trigger();
    prompter_.answers = {Prompter::Answer::Yes};
    // The trigger returns when the last sound is out.
    Named<QAction>(*window, "actSendSelectedSounds")->trigger();
    EXPECT_EQ(prompter_.questions,
              QStringList{"Send 384 sounds into the Mopho's memory, A001 to C128?"});
    EXPECT_EQ(MemoLines(*window).last(), "Sent 384 sounds.")
        << MemoLines(*window).join('\n').toStdString();
    for (int slot = 0; slot < Slots::Count; ++slot)
        ASSERT_FALSE(window->Library().IsChanged(slot)) << Slots::Caption(slot);

    CloseWindow(window);
    ASSERT_EQ(instrument->Stop(), 0);
    const Bytes memory = ReadFile(instrumentMemory);
    ASSERT_EQ(memory.size(), bank_.size());
    for (int slot = 0; slot < Slots::Count; ++slot) {
        Bytes stored = Block(memory, slot);
        Bytes sent = Block(bank_, slot);
        // The location bytes of a dump name its slot; the sound is the rest.
        for (Bytes* block : {&stored, &sent})
            block->erase(block->begin() + 4, block->begin() + 6);
        ASSERT_EQ(stored, sent) << Slots::Caption(slot);
    }
}

// A musician's edit: F4 opens the editor on the instrument's current sound, a
// turn of a knob reaches the instrument as NRPN, the sound goes to C045, and
// Yes keeps it in the library.
TEST_F(LibrarianOverJack, EditedSoundIsHeardSentToALocationAndKept) {
    const fs::path logFile = folder_ / "received.log";
    const fs::path instrumentMemory = folder_ / "memory.syx";
    auto instrument = Start({"--bank", bankPath_.string(), "--log", logFile.string(), "--save",
                             instrumentMemory.string()});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilConnected(*window));
    // A left click on B010: the instrument plays that program.
    const int current = Slots::Of(1, 9);
    window->List().SetCurrentRow(current);
    window->ListLeftClicked();

    const int target = Slots::FromCaption("C045");
    QTimer picker; // the location chooser: C045, Ok
    picker.setInterval(10);
    QObject::connect(&picker, &QTimer::timeout, [target] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != "frmSelectLocation")
            return;
        modal->findChild<QComboBox*>("cmbProgram")->setCurrentIndex(target);
        modal->findChild<QPushButton*>("Button1")->click();
    });
    picker.start();

    QString shownName;
    bool heard = false;
    qint64 heardAfter = -1;
    int opened = 0;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* editor = qobject_cast<TfrmPatchEdit*>(QApplication::activeModalWidget());
        if (!editor || opened > 0)
            return;
        ++opened;
        shownName = editor->findChild<QLineEdit*>("edtName")->text();
        // Resonance (NRPN 16) to 99, then wait until the instrument logged it.
        editor->TypeValue(BindingIndex("KnobFilterResonance"), "99");
        QElapsedTimer clock;
        clock.start();
        const std::vector<std::string> nrpn = {"B0 63 00", "B0 62 10", "B0 06 00", "B0 26 63"};
        while (!heard && clock.elapsed() < 5000) {
            QTest::qWait(5);
            const auto log = ReadLines(logFile);
            heard = std::search(log.begin(), log.end(), nrpn.begin(), nrpn.end()) != log.end();
        }
        heardAfter = clock.elapsed();
        prompter_.answers = {Prompter::Answer::Yes};
        editor->findChild<QPushButton*>("btnSavSoundto")->click();
        editor->findChild<QPushButton*>("btnClose")->click();
    });
    watch.start();
    Named<QAction>(*window, "EditEditBuffer1")->trigger(); // returns once the wait box has closed
    QElapsedTimer clock;
    clock.start();
    while (opened == 0 && clock.elapsed() < 5000)
        QTest::qWait(10);
    QTest::qWait(100);

    ASSERT_EQ(opened, 1);
    EXPECT_EQ(shownName, "Backup B010");
    EXPECT_TRUE(heard) << "the instrument did not log the NRPN of the turned knob";
    std::printf("the knob's NRPN was logged by the instrument %lld ms after the turn\n",
                static_cast<long long>(heardAfter));
    const TSoundRecord kept = window->Library().Sound(current);
    EXPECT_EQ(kept[SoundLayout::ParameterByte(21)], 99);
    EXPECT_EQ(GetSoundName(kept), "Backup B010     ");
    EXPECT_TRUE(window->Library().IsChanged(current));
    EXPECT_TRUE(window->Library().IsChanged(target));

    CloseWindow(window);
    ASSERT_EQ(instrument->Stop(), 0);
    const BankFileContents stored = ParseBankFile(ReadFile(instrumentMemory), "memory.syx");
    ASSERT_EQ(stored.records.size(), static_cast<std::size_t>(Slots::Count));
    const TSoundRecord& atTarget = stored.records[static_cast<std::size_t>(target)].record;
    EXPECT_EQ(GetSoundName(atTarget), "Backup B010     ");
    EXPECT_EQ(atTarget[SoundLayout::ParameterByte(21)], 99);
}

// The messages of one NRPN each: number and value (14 bits each) from the
// instrument's log lines ("B0 63 00", "B0 62 10", "B0 06 00", "B0 26 63").
std::vector<std::pair<int, int>> LoggedNrpns(const std::vector<std::string>& lines) {
    std::vector<ControllerMessage> controllers;
    for (const std::string& line : lines)
        if (line.size() == 8 && line.compare(0, 3, "B0 ") == 0)
            controllers.push_back(
                {0xB0, static_cast<std::uint8_t>(std::stoi(line.substr(3, 2), nullptr, 16)),
                 static_cast<std::uint8_t>(std::stoi(line.substr(6, 2), nullptr, 16))});
    return NrpnsIn(controllers);
}

// Why the byte an NRPN set lies outside the schema, or an empty string.
std::string OutsideSchema(const SchemaList& schema, int number, int byte) {
    const auto parameter = std::find(NrpnNumbers.begin(), NrpnNumbers.end(), number);
    if (parameter == NrpnNumbers.end())
        return "unknown NRPN " + std::to_string(number);
    const int p = static_cast<int>(parameter - NrpnNumbers.begin());
    bool bound = false;
    for (const SchemaEntry& entry : schema) {
        const ParameterBinding& binding = entry.Binding();
        if (binding.parameter != p)
            continue;
        bound = true;
        const std::optional<int> value = ValueForByte(binding, static_cast<std::uint8_t>(byte));
        if (!value && binding.kind == ControlKind::Knob && binding.list == ValueList::None &&
            (p == 2 || p == 8))
            continue; // a pulse width under another shape
        const int position =
            value ? *value - (binding.kind == ControlKind::List ? 0 : binding.min) : -1;
        if (position < 0 || position >= static_cast<int>(entry.allowed.size()) ||
            entry.allowed[static_cast<std::size_t>(position)] != '1')
            return std::string(binding.key) + " at byte " + std::to_string(byte);
    }
    return bound ? std::string() : "parameter " + std::to_string(p) + " has no control";
}

// A musician's sound family: derived from the sound with wider tolerances
// and saved, then every composite randomize button. Each value the
// instrument hears lies inside the allowed set the saved file holds.
TEST_F(LibrarianOverJack, RandomizedSoundsStayInsideTheSavedFamily) {
    const fs::path logFile = folder_ / "received.log";
    auto instrument = Start({"--bank", bankPath_.string(), "--log", logFile.string()});
    auto window = OpenWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntilConnected(*window));
    window->List().SetCurrentRow(Slots::Of(0, 3));
    window->ListLeftClicked();

    // The tolerance dialog: wider than the defaults, every note of the scale.
    QTimer tolerances;
    tolerances.setInterval(10);
    QObject::connect(&tolerances, &QTimer::timeout, [] {
        auto* dialog = qobject_cast<TfrmCreateSchemaParameters*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->trbComboBoxTolerance->setValue(3);
        dialog->trbOctaveKnobTolerance->setValue(1);
        dialog->trbOtherKnobTolerance->setValue(20);
        dialog->trbDetuneTolerance->setValue(10);
        dialog->trbArpTolerance->setValue(24);
        dialog->cmbScale->setCurrentIndex(0); // Chromatic
        dialog->btnCreate->click();
    });
    tolerances.start();

    const QString schemaPath = QDir(programFolder_.path()).filePath("Wide Family.sndfamily");
    std::vector<std::string> outside;
    std::size_t checked = 0;
    std::size_t anyValueSent = 0;
    int opened = 0;
    QTimer watch;
    watch.setInterval(10);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* editor = qobject_cast<TfrmPatchEdit*>(QApplication::activeModalWidget());
        if (!editor || opened > 0)
            return;
        ++opened;
        // The NRPNs a press of `button` sends, once two ticks and a quiet moment passed.
        const auto press = [&](std::string_view button) {
            const std::size_t before = ReadLines(logFile).size();
            editor
                ->findChild<QPushButton*>(
                    QString::fromLatin1(button.data(), qsizetype(button.size())))
                ->click();
            std::size_t seen = 0;
            QElapsedTimer clock;
            clock.start();
            for (int quiet = 0; quiet < 3 && clock.elapsed() < 5000;) {
                QTest::qWait(200);
                const std::size_t now = ReadLines(logFile).size();
                quiet = now == seen ? quiet + 1 : 0;
                seen = now;
            }
            auto lines = ReadLines(logFile);
            lines.erase(lines.begin(), lines.begin() + std::ptrdiff_t(before));
            return LoggedNrpns(lines);
        };
        // Before any schema is picked, "(any value)": a whole new sound.
        const auto wholeSound = press("btnRandomizeSound");
        anyValueSent = wholeSound.size();
        for (const auto& [number, byte] : wholeSound)
            if (std::string why = OutsideSchema(AnyValueSchema(), number, byte); !why.empty())
                outside.push_back("(any value): " + why);

        editor->findChild<QPushButton*>("btnCreateSchemaFromCurrentSound")->click();
        editor->findChild<QComboBox*>("cmbRandomSchema")->setEditText("Wide Family");
        editor->findChild<QPushButton*>("btnSaveRandomSchema")->click();
        QFile file(schemaPath);
        if (!file.open(QIODevice::ReadOnly)) {
            outside.push_back("the schema was not saved");
        } else {
            const QByteArray text = file.readAll();
            const SchemaList schema = ReadSchemaText({text.constData(), std::size_t(text.size())});
            for (int index = 0; index < CompositeRandomizerCount; ++index) {
                for (const auto& [number, byte] :
                     press(CompositeRandomizers[std::size_t(index)].button)) {
                    ++checked;
                    if (std::string why = OutsideSchema(schema, number, byte); !why.empty())
                        outside.push_back(
                            std::string(CompositeRandomizers[std::size_t(index)].button) + ": " +
                            why);
                }
            }
        }
        prompter_.answers = {Prompter::Answer::No};
        editor->findChild<QPushButton*>("btnClose")->click();
    });
    watch.start();
    Named<QAction>(*window, "EditEditBuffer1")->trigger();
    QElapsedTimer clock;
    clock.start();
    while (opened == 0 && clock.elapsed() < 5000)
        QTest::qWait(10);
    QTest::qWait(100);

    ASSERT_EQ(opened, 1);
    EXPECT_TRUE(outside.empty()) << outside.size() << " values outside, first: " << outside[0];
    EXPECT_GT(checked, 40u) << "too few values reached the instrument to tell";
    EXPECT_GT(anyValueSent, 50u) << "the first press gives the sound new values";
    std::printf("%zu randomized values reached the instrument, each inside the family\n", checked);
    EXPECT_TRUE(prompter_.messages.isEmpty()) << prompter_.messages.join('\n').toStdString();

    CloseWindow(window);
    ASSERT_EQ(instrument->Stop(), 0);
}

} // namespace
