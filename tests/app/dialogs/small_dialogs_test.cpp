#include "about_box.h"
#include "app/scripted_dialogs.h"
#include "frm_autoload_settings.h"
#include "frm_help.h"
#include "frm_patch_edit_simple.h"
#include "frm_select_location.h"
#include "sound_library.h"
#include "support/modal_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Key presses carrying any text (QTest::keyClicks takes ASCII only).
void TypeText(QWidget* widget, const QString& text) {
    for (QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QApplication::sendEvent(widget, &press);
    }
}

TSoundLibrary EmptyLibrary() {
    TSoundLibrary library;
    library.InitEmptyBanks();
    return library;
}

// Rename ----------------------------------------------------------------------

TEST(RenameDialog, OkStoresTheNamePaddedAndMarksTheSlotChanged) {
    TSoundLibrary library = EmptyLibrary();
    library.SetSoundName(5, "Fat Bass");
    WhenShown<TfrmPatchEditSimple>([](TfrmPatchEditSimple& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Fat Bass");
        EXPECT_EQ(dialog.edtName->text(), "Fat Bass") << "the padding is not shown";
        EXPECT_EQ(dialog.edtName->selectedText(), "Fat Bass");
        QTest::keyClicks(dialog.edtName, "Sub"); // replaces the selected name
        dialog.Button1->click();
    });
    EXPECT_TRUE(RenameSlot(nullptr, library, 5));
    EXPECT_EQ(library.GetSoundName(5), "Sub             ");
    EXPECT_TRUE(library.IsChanged(5));
    EXPECT_FALSE(library.IsChanged(4));
}

TEST(RenameDialog, CancelAndTitleBarCloseChangeNothing) {
    const std::function<void(TfrmPatchEditSimple&)> cancels[] = {
        [](TfrmPatchEditSimple& dialog) { dialog.close(); },
        [](TfrmPatchEditSimple& dialog) {
            ASSERT_NE(dialog.findChild<QPushButton*>("Button2"), nullptr);
            EXPECT_EQ(dialog.Button2->text(), "Cancel");
            dialog.Button2->click();
        },
    };
    for (const auto& cancel : cancels) {
        TSoundLibrary library = EmptyLibrary();
        WhenShown<TfrmPatchEditSimple>([cancel](TfrmPatchEditSimple& dialog) {
            dialog.edtName->setText(QStringLiteral("Other"));
            cancel(dialog);
        });
        EXPECT_FALSE(RenameSlot(nullptr, library, 0));
        EXPECT_EQ(library.GetSoundName(0), "empty           ");
        EXPECT_FALSE(library.IsChanged(0));
    }
}

TEST(RenameDialog, CutsTypedNamesAt16Characters) {
    TfrmPatchEditSimple dialog;
    dialog.edtName->clear();
    QTest::keyClicks(dialog.edtName, "abcdefghijklmnopqrst");
    EXPECT_EQ(dialog.NameBytes(), "abcdefghijklmnop");
    EXPECT_EQ(dialog.findChild<QPushButton*>("Button1")->text(), "&Ok");
    EXPECT_TRUE(dialog.Button1->isDefault());
}

TEST(RenameDialog, TakesOnlyCharactersTheInstrumentShows) {
    TfrmPatchEditSimple dialog;
    // A name from a file with bytes the instrument cannot show: shown as '?',
    // and kept as it was while it is not edited.
    const std::string bytes = "Caf\xE9 \x80\x7F";
    dialog.SetNameBytes(bytes);
    EXPECT_EQ(dialog.edtName->text(), "Caf? ??");
    EXPECT_EQ(dialog.NameBytes(), bytes);

    // Typed characters outside codes 32..126 are refused, not garbled.
    dialog.edtName->setText(QStringLiteral("Pad"));
    dialog.edtName->end(false);
    TypeText(dialog.edtName, QString::fromUtf8("\u2713\u0416\t?\u00FC\u20AC~"));
    EXPECT_EQ(dialog.edtName->text(), "Pad?~");
    EXPECT_EQ(dialog.NameBytes(), "Pad?~");
}

// Location chooser --------------------------------------------------------------

TEST(LocationChooser, ListsEverySlotWithBankProgramAndName) {
    TSoundLibrary library = EmptyLibrary();
    library.SetSoundName(127, "Last of A");
    library.SetSoundName(128, "First of B");
    library.SetSoundName(130, "Caf\xE9");
    TfrmSelectLocation dialog(library);
    EXPECT_EQ(dialog.windowTitle(), "Select Location");
    ASSERT_EQ(dialog.cmbProgram->count(), 384);
    EXPECT_EQ(dialog.cmbProgram->currentIndex(), 0);
    EXPECT_EQ(dialog.cmbProgram->itemText(0), "bank: 1 Prg:1 empty           ");
    EXPECT_EQ(dialog.cmbProgram->itemText(127), "bank: 1 Prg:128 Last of A       ");
    EXPECT_EQ(dialog.cmbProgram->itemText(128), "bank: 2 Prg:1 First of B      ");
    EXPECT_EQ(dialog.cmbProgram->itemText(130),
              QString::fromUtf8("bank: 2 Prg:3 Café            "));
    EXPECT_EQ(dialog.cmbProgram->itemText(383), "bank: 3 Prg:128 empty           ");
}

TEST(LocationChooser, OkReturnsTheChosenSlotAndCancelNothing) {
    const TSoundLibrary library = EmptyLibrary();
    WhenShown<TfrmSelectLocation>([](TfrmSelectLocation& dialog) {
        EXPECT_EQ(dialog.SelectedSlot(), 200) << "preset by the caller";
        dialog.cmbProgram->setCurrentIndex(130);
        dialog.Button1->click();
    });
    EXPECT_EQ(ChooseLocation(nullptr, library, 200), 130);

    WhenShown<TfrmSelectLocation>([](TfrmSelectLocation& dialog) {
        dialog.cmbProgram->setCurrentIndex(7);
        dialog.Button2->click();
    });
    EXPECT_EQ(ChooseLocation(nullptr, library, 200), std::nullopt);
}

// Autoload settings ----------------------------------------------------------------

TEST(AutoloadSettings, ControlsShowTheValues) {
    ScriptedFileChooser files;
    TfrmAutoloadSettings on(files, {QStringLiteral("/sounds/bank.syx"), QStringLiteral("1")});
    EXPECT_EQ(on.edtAutoload->text(), "/sounds/bank.syx");
    EXPECT_TRUE(on.CheckBox1->isChecked());
    EXPECT_TRUE(on.CheckBox2->isChecked());

    // Only exactly "1" turns sending on.
    TfrmAutoloadSettings off(files, {QString(), QStringLiteral(" 1")});
    EXPECT_FALSE(off.CheckBox1->isChecked());
    EXPECT_FALSE(off.CheckBox2->isChecked());
    EXPECT_EQ(off.Values(), (AutoloadValues{QString(), QStringLiteral("0")}));
}

TEST(AutoloadSettings, BrowseFillsThePathAndEnablesAutoload) {
    ScriptedFileChooser files;
    files.paths = {QString(), QDir::temp().filePath(QStringLiteral("start.syx"))};
    TfrmAutoloadSettings dialog(files, {QString(), QStringLiteral("0")});

    dialog.Button2->click(); // cancelled
    EXPECT_EQ(dialog.edtAutoload->text(), "");
    EXPECT_FALSE(dialog.CheckBox1->isChecked());

    dialog.Button2->click();
    EXPECT_EQ(files.asked, 2);
    EXPECT_EQ(dialog.Values().AutoloadFile,
              QDir::toNativeSeparators(QDir::temp().filePath(QStringLiteral("start.syx"))));
}

TEST(AutoloadSettings, OkWithEnableUncheckedClearsTheFile) {
    ScriptedFileChooser files;
    AutoloadValues values{QStringLiteral("/sounds/bank.syx"), QStringLiteral("0")};
    WhenShown<TfrmAutoloadSettings>([](TfrmAutoloadSettings& dialog) {
        dialog.CheckBox1->setChecked(false);
        dialog.CheckBox2->setChecked(true);
        dialog.Button1->click();
    });
    EXPECT_TRUE(EditAutoloadSettings(nullptr, files, values));
    EXPECT_EQ(values, (AutoloadValues{QString(), QStringLiteral("1")}));
}

TEST(AutoloadSettings, VerifyAfterSendingIsOffUntilTickedAndComesBack) {
    ScriptedFileChooser files;
    TfrmAutoloadSettings off(files, {QString(), QStringLiteral("0")});
    EXPECT_EQ(off.chbVerifyAfterSend->text(), "Verify sounds after sending");
    EXPECT_FALSE(off.chbVerifyAfterSend->isChecked());
    TfrmAutoloadSettings on(files, {QString(), QStringLiteral("0"), true});
    EXPECT_TRUE(on.chbVerifyAfterSend->isChecked());

    AutoloadValues values{QString(), QStringLiteral("0")};
    WhenShown<TfrmAutoloadSettings>([](TfrmAutoloadSettings& dialog) {
        dialog.chbVerifyAfterSend->setChecked(true);
        dialog.Button1->click();
    });
    EXPECT_TRUE(EditAutoloadSettings(nullptr, files, values));
    EXPECT_TRUE(values.VerifyAfterSend);
}

TEST(AutoloadSettings, TitleBarCloseChangesNothing) {
    ScriptedFileChooser files;
    const AutoloadValues before{QStringLiteral("/sounds/bank.syx"), QStringLiteral("1")};
    AutoloadValues values = before;
    WhenShown<TfrmAutoloadSettings>([](TfrmAutoloadSettings& dialog) {
        dialog.CheckBox1->setChecked(false);
        dialog.CheckBox2->setChecked(false);
        dialog.close();
    });
    EXPECT_FALSE(EditAutoloadSettings(nullptr, files, values));
    EXPECT_EQ(values, before);
}

// Help and About -------------------------------------------------------------------

TEST(ShortHelp, ReadOnlyMemoWithTheShortcutLines) {
    TfrmHelp help;
    help.show();
    EXPECT_EQ(help.windowTitle(), "Help");
    EXPECT_EQ(help.size(), QSize(515, 355));
    EXPECT_TRUE(help.Memo1->isReadOnly());
    const QStringList lines = help.Memo1->toPlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 39);
    EXPECT_EQ(lines.first(), "Shortcut help");
    EXPECT_EQ(lines[21], "Send sound to Mopho");
    EXPECT_EQ(lines[22], " Enter  or Ctrl, w");
    EXPECT_EQ(lines[24], "Computer keyboard ");
    EXPECT_EQ(lines[25], " W E    T Y U    O P");
    EXPECT_EQ(lines.mid(30, 3), (QStringList{"", "", ""}));
    EXPECT_EQ(lines.last(), "0-Randomize Oscillators, Filters,Envelopes,LFOs and Matrix");
}

TEST(About, ThreeLinesWithProductVersionAndContact) {
    ScriptedPrompter prompter;
    ShowAbout(prompter);
    ASSERT_EQ(prompter.messages.size(), 1);
    const QStringList lines = prompter.messages.first().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "Tonewright (freeware)");
    EXPECT_EQ(lines[1], "Version 1.03");
    EXPECT_TRUE(lines[2].startsWith("Contact:"));
}

// Every fixed-size dialog holds its controls; TW_DIALOG_SHOTS=<folder> saves pictures.
TEST(SmallDialogs, ContentsFitTheirWindows) {
    const TSoundLibrary library = EmptyLibrary();
    ScriptedFileChooser files;
    TfrmPatchEditSimple rename;
    rename.SetNameBytes("Fat Bass");
    TfrmSelectLocation location(library);
    TfrmAutoloadSettings autoload(files, {QStringLiteral("/sounds/bank.syx"), QStringLiteral("1")});
    TfrmHelp help;
    const std::pair<QWidget*, const char*> dialogs[] = {{&rename, "rename"},
                                                        {&location, "select-location"},
                                                        {&autoload, "autoload"},
                                                        {&help, "help"}};
    const QString folder = qEnvironmentVariable("TW_DIALOG_SHOTS");
    for (const auto& [dialog, name] : dialogs) {
        dialog->show();
        QApplication::processEvents();
        const QSize needed = dialog->layout()->minimumSize();
        EXPECT_LE(needed.width(), dialog->width()) << name;
        EXPECT_LE(needed.height(), dialog->height()) << name;
        if (!folder.isEmpty())
            dialog->grab().save(QDir(folder).filePath(QString::fromLatin1(name) + ".png"));
    }
}

} // namespace
