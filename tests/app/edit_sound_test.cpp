// "Edit Sound (F4)" against the built-in instrument: the edit buffer is
// asked for, the editor opens on the reply, and its sound is kept in the
// library when the user says so.

#include "frm_create_schema_parameters.h"
#include "frm_patch_edit.h"
#include "frm_virtual_panel.h"
#include "knob.h"
#include "library_list.h"
#include "main_window.h"
#include "parameter_binding.h"
#include "scripted_dialogs.h"
#include "support/main_window_on_instrument.h"
#include "support/modal_window.h"
#include "support/named_child.h"

#include "builtin_instrument_service.h"
#include "sysex_messages.h"
#include "virtual_mopho.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

constexpr int Resonance = 21; // shown by KnobFilterResonance

class EditSoundTest : public ::testing::Test, protected MainWindowOnInstrument {
protected:
    EditSoundTest() {
        // The instrument plays a sound of its own, not one of its programs.
        editBuffer = VirtualMopho::FactorySound(9);
        SetSoundName(editBuffer, "  Edit Me");
        editBuffer[SoundLayout::ParameterByte(Resonance)] = 40;
        instrument->Receive(EditBufferDumpMessage(editBuffer));
    }

    // Runs `command`, then `inEditor` on every editor that opens (from the
    // main window's 200 ms timer). Returns how many opened.
    static int RunEditor(const std::function<void()>& command,
                         const std::function<void(TfrmPatchEdit&)>& inEditor) {
        return WhenModalOpens<TfrmPatchEdit>(command, inEditor, 300);
    }

    static void TurnResonanceTo(TfrmPatchEdit& editor, int value) {
        editor.TypeValue(BindingIndex("KnobFilterResonance"), QString::number(value));
    }
    static void Close(TfrmPatchEdit& editor) {
        QTimer::singleShot(0, &editor,
                           [&editor] { Named<QPushButton>(editor, "btnClose")->click(); });
    }

    TSoundRecord editBuffer;
};

TEST_F(EditSoundTest, TheEditorShowsTheEditBufferAndYesKeepsTheEditedSoundInTheCurrentRow) {
    window->List().SetCurrentRow(5);
    const TSoundRecord before = window->Library().Sound(5);
    prompter.answers = {Prompter::Answer::Yes};
    QString shownName;
    const int opened = RunEditor([&] { Named<QAction>(*window, "EditEditBuffer1")->trigger(); },
                                 [&](TfrmPatchEdit& editor) {
                                     shownName = Named<QLineEdit>(editor, "edtName")->text();
                                     TurnResonanceTo(editor, 99);
                                     Close(editor);
                                 });
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(shownName, "Edit Me");
    ASSERT_EQ(prompter.questions, QStringList{"Do you want to save changes?"});

    // The turn just before closing reached the instrument and the library.
    midi.WaitUntilIdle();
    EXPECT_EQ(instrument->EditBuffer()[SoundLayout::ParameterByte(Resonance)], 99);
    TSoundRecord expected = editBuffer;
    expected[SoundLayout::ParameterByte(Resonance)] = 99;
    expected[SoundLayout::CommandByte] = 0x02;
    expected[SoundLayout::BankByte] = 0;
    expected[SoundLayout::ProgramByte] = 5;
    EXPECT_EQ(window->Library().Sound(5), expected) << "the name stays as received";
    EXPECT_NE(window->Library().Sound(5), before);
    EXPECT_TRUE(window->Library().IsChanged(5));
    EXPECT_TRUE(window->List().ShownName(5).contains("Edit Me"));
}

TEST_F(EditSoundTest, UndoTakesBackTheKeptSoundAndItsMark) {
    window->List().SetCurrentRow(5);
    const TSoundRecord before = window->Library().Sound(5);
    prompter.answers = {Prompter::Answer::Yes};
    RunEditor([&] { Named<QAction>(*window, "EditEditBuffer1")->trigger(); },
              [&](TfrmPatchEdit& editor) { Close(editor); });
    ASSERT_TRUE(window->Library().IsChanged(5));
    EXPECT_EQ(window->History().UndoCount(), 1u);

    Named<QAction>(*window, "actUndo")->trigger();
    EXPECT_EQ(window->Library().Sound(5), before);
    EXPECT_FALSE(window->Library().IsChanged(5));
    EXPECT_FALSE(window->List().ShownName(5).contains("Edit Me"));
    Named<QAction>(*window, "actRedo")->trigger();
    EXPECT_TRUE(window->List().ShownName(5).contains("Edit Me"));
    EXPECT_TRUE(window->Library().IsChanged(5));
}

TEST_F(EditSoundTest, NoLeavesTheLibraryAsItWasWhileTheInstrumentKeepsTheChange) {
    window->List().SetCurrentRow(7);
    const TSoundRecord before = window->Library().Sound(7);
    prompter.answers = {Prompter::Answer::No};
    const int opened = RunEditor([&] { Named<QPushButton>(*window, "btnEditSound")->click(); },
                                 [&](TfrmPatchEdit& editor) {
                                     TurnResonanceTo(editor, 12);
                                     Close(editor);
                                 });
    ASSERT_EQ(opened, 1);
    midi.WaitUntilIdle();
    EXPECT_EQ(instrument->EditBuffer()[SoundLayout::ParameterByte(Resonance)], 12);
    EXPECT_EQ(window->Library().Sound(7), before);
    EXPECT_FALSE(window->Library().IsChanged(7));
}

TEST_F(EditSoundTest, F4OpensOneEditor) {
    window->show();
    QApplication::setActiveWindow(window.get());
    prompter.answers = {Prompter::Answer::No};
    const int opened = RunEditor([&] { QTest::keyClick(window.get(), Qt::Key_F4); },
                                 [&](TfrmPatchEdit& editor) { Close(editor); });
    EXPECT_EQ(opened, 1);
}

TEST_F(EditSoundTest, SendSoundToMophoKeepsTheSentSoundInThatSlot) {
    prompter.answers = {Prompter::Answer::No};
    chooser.paths.clear();
    // The location chooser is a dialog of its own: pick C045 in it.
    QTimer picker;
    picker.setInterval(10);
    QObject::connect(&picker, &QTimer::timeout, [] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != "frmSelectLocation")
            return;
        auto* list = modal->findChild<QComboBox*>("cmbProgram");
        list->setCurrentIndex(Slots::FromCaption("C045"));
        modal->findChild<QPushButton*>("Button1")->click();
    });
    picker.start();
    const int opened = RunEditor([&] { Named<QAction>(*window, "EditEditBuffer1")->trigger(); },
                                 [&](TfrmPatchEdit& editor) {
                                     TurnResonanceTo(editor, 77);
                                     QTimer::singleShot(0, &editor, [&editor] {
                                         Named<QPushButton>(editor, "btnSavSoundto")->click();
                                         Named<QPushButton>(editor, "btnClose")->click();
                                     });
                                 });
    ASSERT_EQ(opened, 1);
    midi.WaitUntilIdle();
    const int slot = Slots::FromCaption("C045");
    EXPECT_EQ(instrument->Program(slot)[SoundLayout::ParameterByte(Resonance)], 77);
    EXPECT_EQ(window->Library().Sound(slot)[SoundLayout::ParameterByte(Resonance)], 77);
    EXPECT_TRUE(window->Library().IsChanged(slot));
}

// The tolerances a schema is derived with belong to the program's run: the
// four stored ones become settings, and a schema is saved beside them.
TEST_F(EditSoundTest, TolerancesChosenInTheEditorOutliveItAndSchemasLiveInTheProgramsFolder) {
    const auto derive = [](TfrmPatchEdit& editor,
                           std::function<void(TfrmCreateSchemaParameters&)> choose) {
        QTimer::singleShot(0, &editor, [&editor, choose] {
            QTimer::singleShot(0, [choose] {
                auto* dialog =
                    qobject_cast<TfrmCreateSchemaParameters*>(QApplication::activeModalWidget());
                ASSERT_NE(dialog, nullptr);
                choose(*dialog);
                dialog->btnCreate->click();
            });
            Named<QPushButton>(editor, "btnCreateSchemaFromCurrentSound")->click();
            Named<QComboBox>(editor, "cmbRandomSchema")->setEditText("Kept Family");
            Named<QPushButton>(editor, "btnSaveRandomSchema")->click();
            Named<QPushButton>(editor, "btnClose")->click();
        });
    };
    prompter.answers = {Prompter::Answer::No, Prompter::Answer::No};
    const auto open = [&] { Named<QAction>(*window, "EditEditBuffer1")->trigger(); };
    ASSERT_EQ(RunEditor(open,
                        [&](TfrmPatchEdit& editor) {
                            derive(editor, [](TfrmCreateSchemaParameters& dialog) {
                                dialog.trbOtherKnobTolerance->setValue(25);
                                dialog.trbArpTolerance->setValue(12);
                                dialog.cmbScale->setCurrentIndex(3);
                            });
                        }),
              1);
    EXPECT_EQ(window->Settings().ToleranceOtherKnobs, 25);
    EXPECT_EQ(window->Tolerances().ArpTolerance, 12);
    EXPECT_EQ(window->Tolerances().SchemaScale, 4);
    EXPECT_TRUE(QFileInfo::exists(
        QFileInfo(window->SettingsPath()).dir().filePath(QStringLiteral("Kept Family.sndfamily"))));

    // The next editor of the run offers them again and lists the schema.
    SchemaTolerances offered;
    QStringList listed;
    ASSERT_EQ(RunEditor(open,
                        [&](TfrmPatchEdit& editor) {
                            auto* box = Named<QComboBox>(editor, "cmbRandomSchema");
                            for (int i = 0; i < box->count(); ++i)
                                listed << box->itemText(i);
                            derive(editor, [&](TfrmCreateSchemaParameters& dialog) {
                                offered = dialog.Tolerances();
                            });
                        }),
              1);
    EXPECT_TRUE(listed.contains("Kept Family"));
    EXPECT_EQ(offered.ToleranceOtherKnobs, 25);
    EXPECT_EQ(offered.ArpTolerance, 12);
    EXPECT_EQ(offered.SchemaScale, 4);
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('\n').toStdString();
    QFile::remove(QFileInfo(window->SettingsPath()).dir().filePath("Kept Family.sndfamily"));
}

} // namespace

TEST_F(EditSoundTest, AKnobTurnedOnTheVirtualPanelMovesTheOpenEditorsControl) {
    ASSERT_TRUE(window->BuiltInInstrumentInUse());
    window->VirtualPanelClick();
    auto* panel = window->findChild<TfrmVirtualPanel*>();
    ASSERT_NE(panel, nullptr);
    const int row = BindingIndex("KnobFilterResonance");
    int shown = -1;
    const int opened =
        RunEditor([&] { Named<QAction>(*window, "EditEditBuffer1")->trigger(); },
                  [&](TfrmPatchEdit& editor) {
                      // The panel stays usable beside the modal editor.
                      EXPECT_FALSE(QApplication::activeModalWidget() && !panel->isVisible());
                      panel->spnParameter->setValue(ParameterFacts(Resonance).nrpn);
                      panel->spnValue->setValue(77);
                      QTest::mouseClick(panel->btnTurnKnob, Qt::LeftButton);
                      auto* knob = static_cast<TKnob*>(
                          editor.Panel().controls[static_cast<std::size_t>(row)]);
                      EXPECT_TRUE(QTest::qWaitFor([&] { return knob->Position() == 77; }, 3000));
                      shown = knob->Position();
                      Close(editor);
                  });
    ASSERT_EQ(opened, 1);
    EXPECT_EQ(shown, 77);
    EXPECT_EQ(window->findChild<TfrmVirtualPanel*>(), panel); // back on the main window
}
