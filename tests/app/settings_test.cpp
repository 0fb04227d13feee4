// The settings file, and the start-up and close of the main window that read
// and write it.

#include "app_settings.h"
#include "library_commands.h"
#include "library_list.h"
#include "main_window.h"
#include "message_memo.h"
#include "midi_ports.h"
#include "scripted_dialogs.h"
#include "support/main_window_probes.h"
#include "support/named_child.h"
#include "support/program_folder.h"
#include "test_files.h"

#include "bank_file.h"
#include "virtual_mopho.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

namespace {

TEST(SettingsFile, MissingFileGivesTheDefaults) {
    QTemporaryDir dir;
    TAppSettings settings;
    EXPECT_TRUE(ReadSettingsFile(dir.filePath("none.ini"), settings).isEmpty());
    EXPECT_TRUE(settings.AutoloadFile.isEmpty());
    EXPECT_TRUE(settings.SendToEditBuffer.isEmpty());
    EXPECT_EQ(std::vector<int>({settings.ToleranceComboBox, settings.ToleranceOctave,
                                settings.ToleranceKeytrack, settings.ToleranceOtherKnobs,
                                settings.ToleranceSemitoneKnobs, settings.ToleranceDetuneKnobs}),
              std::vector<int>({0, 2, 0, 10, 0, 3}));
    EXPECT_EQ(settings.MophoDeviceID, 0);
}

TEST(SettingsFile, EveryKeyIsWrittenPlainAndReadBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dsi_mopho.ini");
    TAppSettings written;
    written.AutoloadFile = QStringLiteral("/home/ann/Sounds/Bässe & leads.syx");
    written.SendToEditBuffer = QStringLiteral("1");
    written.ToleranceOctave = 7;
    written.ToleranceDetuneKnobs = 64;
    written.MophoDeviceID = 126;
    written.MidiInDeviceName = QStringLiteral("USB Midi In");
    written.MidiOutDeviceName = QStringLiteral("USB Midi Out");
    written.ControllerInDeviceName = QStringLiteral("Keys");
    written.MidiChannel = 2;
    ASSERT_TRUE(WriteSettingsFile(path, written).isEmpty());

    const QByteArray text = ReadAll(path);
    EXPECT_TRUE(text.startsWith("[Globals]\n"
                                "Autoloadfile=/home/ann/Sounds/B\xC3\xA4sse & leads.syx\n"
                                "sendtoeditbuffer=1\n"
                                "ToleranceComboBox=0\n"
                                "ToleranceOctave=7\n"))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith("\n[Midi]\n"
                              "MophoDeviceID=126\n"
                              "MidiInDeviceID=USB Midi In\n"
                              "MidiOutDeviceID=USB Midi Out\n"
                              "MidiInDeviceIDKeyboard=Keys\n"
                              "MidiChannel=2\n"))
        << text.toStdString();

    TAppSettings read;
    ASSERT_TRUE(ReadSettingsFile(path, read).isEmpty());
    EXPECT_EQ(read.AutoloadFile, written.AutoloadFile);
    EXPECT_EQ(read.SendToEditBuffer, "1");
    EXPECT_EQ(read.ToleranceOctave, 7);
    EXPECT_EQ(read.ToleranceDetuneKnobs, 64);
    EXPECT_EQ(read.ToleranceOtherKnobs, 10);
    EXPECT_EQ(read.MophoDeviceID, 126);
    EXPECT_EQ(read.ControllerInDeviceName, "Keys");
    EXPECT_EQ(read.MidiChannel, 2);
}

TEST(SettingsFile, TheMidiChannelOfAnOlderOrDamagedFileIsOneToSixteen) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dsi_mopho.ini");
    struct Case {
        const char* line;
        int channel;
        bool said; // a line in the message panel names the key
    };
    for (const Case& c : {Case{"", 1, false}, Case{"MidiChannel=16\n", 16, false},
                          Case{"MidiChannel=0\n", 1, true}, Case{"MidiChannel=40\n", 16, true}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray("[Midi]\nMophoDeviceID=0\n") + c.line);
        file.close();
        TAppSettings read;
        const QStringList problems = ReadSettingsFile(path, read);
        EXPECT_EQ(read.MidiChannel, c.channel) << c.line;
        EXPECT_EQ(!problems.isEmpty() && problems.front().contains("MidiChannel"), c.said)
            << c.line;
    }
}

// A number outside its range is clamped, never wrapped into a byte, and the
// message panel names the key; the file is written back as it was read.
TEST(SettingsFile, NumbersOutsideTheirRangeAreClampedAndNamed) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dsi_mopho.ini");
    WriteAll(path, "[Globals]\nToleranceComboBox=-1\nToleranceOctave=300\nToleranceKeytrack=999\n"
                   "ToleranceOtherKnobs=64\nToleranceDetuneKnobs=x\n"
                   "[Midi]\nMophoDeviceID=-5\n");
    TAppSettings read;
    const QStringList problems = ReadSettingsFile(path, read);
    EXPECT_EQ(
        std::vector<int>({read.ToleranceComboBox, read.ToleranceOctave, read.ToleranceKeytrack,
                          read.ToleranceOtherKnobs, read.ToleranceDetuneKnobs, read.MophoDeviceID}),
        std::vector<int>({0, 64, 255, 64, 3, 0}));
    ASSERT_EQ(problems.size(), 4) << problems.join('\n').toStdString();
    const char* keys[] = {"ToleranceComboBox=-1", "ToleranceOctave=300", "ToleranceKeytrack=999",
                          "MophoDeviceID=-5"};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(problems[i].contains(QLatin1String(keys[i])) && problems[i].contains(path))
            << problems[i].toStdString();
    const QByteArray text = SettingsFileText(read);
    EXPECT_TRUE(text.contains("ToleranceComboBox=0\n") && text.contains("MophoDeviceID=0\n"));

    WriteAll(path, "[Midi]\nMophoDeviceID=70000\n");
    EXPECT_EQ(ReadSettingsFile(path, read).size(), 1);
    EXPECT_EQ(read.MophoDeviceID, 127);
}

TEST(SettingsFile, VerifyingAfterSendingIsOffUnlessStoredOn) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dsi_mopho.ini");
    TAppSettings settings;
    EXPECT_FALSE(settings.VerifyAfterSend);
    EXPECT_TRUE(SettingsFileText(settings).contains("ToleranceDetuneKnobs=3\nVerifyAfterSend=0\n"));
    settings.VerifyAfterSend = true;
    ASSERT_TRUE(WriteSettingsFile(path, settings).isEmpty());
    TAppSettings read;
    ASSERT_TRUE(ReadSettingsFile(path, read).isEmpty());
    EXPECT_TRUE(read.VerifyAfterSend);
}

TEST(SettingsFile, ReadsAFileWrittenOnWindows) {
    QTemporaryDir dir;
    const QString path = dir.filePath("dsi_mopho.ini");
    // CRLF line ends, keys in other letter cases, blanks around names, an ANSI
    // path with a backslash and a Windows-1252 letter, a value that is no number.
    WriteAll(path, "[GLOBALS]\r\n"
                   "AUTOLOADFILE=C:\\Sounds\\B\xE4sse.syx\r\n"
                   "SendToEditBuffer=1\r\n"
                   "toleranceoctave=5\r\n"
                   "ToleranceOtherKnobs=lots\r\n"
                   "\r\n"
                   "[midi]\r\n"
                   "mophodeviceid=3\r\n"
                   "MidiOutDeviceID=  MIDISPORT 2x2 A  \r\n");
    TAppSettings read;
    ASSERT_TRUE(ReadSettingsFile(path, read).isEmpty());
    EXPECT_EQ(read.AutoloadFile, QString::fromUtf8("C:\\Sounds\\Bässe.syx"));
    EXPECT_EQ(read.SendToEditBuffer, "1");
    EXPECT_EQ(read.ToleranceOctave, 5);
    EXPECT_EQ(read.ToleranceOtherKnobs, 10);
    EXPECT_EQ(read.MophoDeviceID, 3);
    EXPECT_EQ(read.MidiOutDeviceName, "MIDISPORT 2x2 A");
}

TEST(SettingsFile, ValuesStayOnOneLine) {
    TAppSettings settings;
    settings.AutoloadFile = QStringLiteral("a\nb.syx\r\n[Midi]");
    const QByteArray text = SettingsFileText(settings);
    EXPECT_EQ(text.count("\n[Midi]\n"), 1) << text.toStdString();
    EXPECT_EQ(text.count('\n'), 17); // 14 keys, 2 section lines, 1 blank line
}

// Where the settings live, for programs in folders laid out as each kind of
// use leaves them.
TEST(SettingsFolder, InstalledProgramsKeepTheirSettingsInTheUsersFolder) {
    QTemporaryDir root;
    const auto folder = [&](const char* name) {
        const QString path = root.filePath(QString::fromLatin1(name));
        QDir().mkpath(path);
        return path;
    };
    const QString user = root.filePath(QStringLiteral("home/.config/Tonewright"));
    const QString installed = folder("usr/bin");
    folder("usr/share/tonewright/guide");
    const QString buildTree = folder("build/src/app");
    const QString portable = folder("portable");
    const QString personalBin = folder("home/bin"); // no share/tonewright beside it
    const QString missing = root.filePath(QStringLiteral("gone/bin"));
    const struct {
        QString program;
        QString expected;
    } cases[] = {
        {installed, user},          {buildTree, buildTree}, {portable, portable},
        {personalBin, personalBin}, {missing, user},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseProgramFolder(c.program, user), c.expected) << c.program.toStdString();
}

// The main window with its settings and autoload file in a folder of its own.
class SessionTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    std::unique_ptr<TfrmMain> Start() { return std::make_unique<TfrmMain>(&prompter, &chooser); }

    QTemporaryDir dir;
    ScopedProgramFolder folderChoice{dir.path()};
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
};

TEST_F(SessionTest, AutoloadedSoundIsBackAfterARestartWithoutChangedMarks) {
    auto window = Start();
    EXPECT_EQ(window->Library().GetSoundName(0), "empty           ");
    window->Settings().AutoloadFile = Path("autoload.syx");
    window->Library().SetSoundName(200, "Kept across runs");
    window->Library().MarkChanged(200, true);
    window->Ports().SetMophoDeviceID(9);
    prompter.answers = {Prompter::Answer::Yes};
    window->close();
    ASSERT_EQ(prompter.questions, QStringList{"Do you want to save changes to autoload file (" +
                                              Path("autoload.syx") + ") ?"});
    EXPECT_EQ(ReadAll(Path("autoload.syx")).size(), 384 * 300);
    window.reset();

    window = Start();
    EXPECT_EQ(window->Library().GetSoundName(200), "Kept across runs");
    EXPECT_EQ(window->Library().GetSoundName(0), "empty           ");
    EXPECT_FALSE(window->Library().IsChanged(200));
    EXPECT_EQ(window->List().ShownStatus(200), "");
    EXPECT_EQ(window->Ports().MophoDeviceID(), 9);
}

TEST_F(SessionTest, AutoloadPlacesRecordsByLocationAndAnsweringNoKeepsTheFile) {
    TSoundRecord sound = VirtualMopho::FactorySound(1);
    SetSoundName(sound, "At C005");
    const auto bytes = BankFileRecordBytes(Slots::Of(2, 4), sound);
    WriteAll(Path("autoload.syx"), QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<qsizetype>(bytes.size())));
    WriteAll(Path("dsi_mopho.ini"), "[Globals]\nAutoloadfile=" + Path("autoload.syx").toUtf8());

    auto window = Start();
    EXPECT_EQ(window->Library().GetSoundName(Slots::Of(2, 4)), "At C005         ");
    EXPECT_EQ(window->Library().GetSoundName(0), "empty           ");
    prompter.answers = {Prompter::Answer::No};
    window->close();
    EXPECT_EQ(prompter.questions.size(), 1);
    EXPECT_EQ(ReadAll(Path("autoload.syx")).size(), 300);
}

TEST_F(SessionTest, WithoutAutoloadFileTheCloseAsksNothingAndSavesSettingsOnce) {
    auto window = Start();
    window->close();
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_TRUE(window->SettingsSaved());
    const QByteArray written = ReadAll(Path("dsi_mopho.ini"));
    EXPECT_TRUE(written.contains("ToleranceDetuneKnobs=3"));
    QFile::remove(Path("dsi_mopho.ini"));
    window->close();
    EXPECT_FALSE(QFile::exists(Path("dsi_mopho.ini")));
}

TEST_F(SessionTest, UnwritableFolderIsReportedAndTheWindowCloses) {
    // A file where the folder should be: nothing can be written into it,
    // whatever rights the test runs with.
    WriteAll(Path("not-a-folder"), "x");
    qputenv("TONEWRIGHT_PROGRAM_FOLDER", Path("not-a-folder").toLocal8Bit());
    auto window = Start();
    EXPECT_EQ(window->Library().SlotCount(), 384);
    EXPECT_TRUE(window->close());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].startsWith("Close query 1:Cannot"))
        << prompter.messages[0].toStdString();
    EXPECT_TRUE(MemoLines(*window).last().startsWith("Close query 1:"));
    EXPECT_TRUE(window->SettingsSaved());
}

TEST_F(SessionTest, FailedAutoloadSaveKeepsTheWindowOpen) {
    auto window = Start();
    window->show();
    window->Settings().AutoloadFile = Path("no-such-folder/autoload.syx");
    prompter.answers = {Prompter::Answer::Yes};
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    ASSERT_FALSE(prompter.messages.isEmpty());
    EXPECT_TRUE(prompter.messages.last().contains("stays open"));
    EXPECT_NE(window->WaitBox(), nullptr);
    // Saved elsewhere, the user can close.
    window->Settings().AutoloadFile.clear();
    EXPECT_TRUE(window->close());
}

TEST_F(SessionTest, CorruptSettingsGiveDefaults) {
    WriteAll(Path("dsi_mopho.ini"), QByteArray("\x00\xFF[[[\n=\n\x01garbage", 17));
    auto window = Start();
    EXPECT_TRUE(window->Settings().AutoloadFile.isEmpty());
    EXPECT_EQ(window->Settings().ToleranceOtherKnobs, 10);
    EXPECT_EQ(window->Library().SlotCount(), 384);
}

TEST_F(SessionTest, UnsavedWorkIsOfferedBeforeTheWindowCloses) {
    using Answer = Prompter::Answer;
    const struct {
        const char* what;
        std::deque<Answer> answers;
        bool savePicked;
        bool closes;
        bool saved;
    } cases[] = {
        {"Cancel keeps the window", {Answer::Cancel}, false, false, false},
        {"No closes without saving", {Answer::No}, false, true, false},
        {"Yes saves to the chosen file", {Answer::Yes}, true, true, true},
        {"Yes, then no file chosen, keeps the window", {Answer::Yes}, false, false, false},
    };
    for (const auto& c : cases) {
        QFile::remove(Path("kept.syx"));
        prompter.questions.clear();
        auto window = Start();
        window->show();
        window->Library().SetSoundName(7, "Renamed");
        prompter.answers = c.answers;
        chooser.paths.clear();
        if (c.savePicked)
            chooser.paths = {Path("kept.syx")};
        EXPECT_EQ(window->close(), c.closes) << c.what;
        EXPECT_EQ(prompter.questions, QStringList{"Save changes ?"}) << c.what;
        EXPECT_EQ(QFile::exists(Path("kept.syx")), c.saved) << c.what;
        if (c.saved) {
            EXPECT_EQ(MemoLines(*window).last(), "Saved 384 sounds to kept.syx.");
            EXPECT_FALSE(window->Commands().HasUnsavedChanges());
        }
    }
}

TEST_F(SessionTest, NothingIsAskedWhenTheWorkIsSavedOrUnchanged) {
    auto window = Start();
    window->show();
    // A sound moved away and back, and a sound sent (its location bytes
    // rewritten), leave nothing to save.
    TSoundLibrary& library = window->Library();
    const TSoundRecord first = library.Sound(1);
    library.StoreSound(1, library.Sound(2));
    library.StoreSound(2, first);
    library.StoreSound(2, library.Sound(1));
    library.StoreSound(1, first);
    {
        TSoundRecord edited = window->Library().Sound(3);
        edited[SoundLayout::BankByte] = 2;
        window->Library().StoreSound(3, edited);
    }
    EXPECT_FALSE(window->Commands().HasUnsavedChanges());

    window->Library().SetSoundName(7, "Renamed");
    chooser.paths = {Path("all.syx")};
    Named<QAction>(*window, "actSaveBankFile")->trigger();
    EXPECT_FALSE(window->Commands().HasUnsavedChanges()) << "saved";
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(prompter.questions.isEmpty());
}

TEST_F(SessionTest, LoadingAFileAsksToSaveOnlyWhenThereIsUnsavedWork) {
    auto window = Start();
    chooser.paths = {Path("all.syx")};
    Named<QAction>(*window, "actSaveBankFile")->trigger();
    chooser.paths = {Path("all.syx")};
    Named<QAction>(*window, "actLoadBankFile")->trigger();
    EXPECT_TRUE(prompter.questions.isEmpty());

    window->Library().SetSoundName(7, "Renamed");
    chooser.paths = {Path("all.syx")};
    Named<QAction>(*window, "actLoadBankFile")->trigger();
    EXPECT_EQ(prompter.questions, QStringList{"Save changes ?"});
    EXPECT_EQ(window->Library().GetSoundName(7), "empty           ") << "answered No: loaded";
}

TEST_F(SessionTest, WithAnAutoloadFileOnlyTheAutoloadQuestionIsAsked) {
    auto window = Start();
    window->Settings().AutoloadFile = Path("autoload.syx");
    window->Library().SetSoundName(7, "Renamed");
    prompter.answers = {Prompter::Answer::No};
    EXPECT_TRUE(window->close());
    EXPECT_EQ(prompter.questions, QStringList{"Do you want to save changes to autoload file (" +
                                              Path("autoload.syx") + ") ?"});
}

// Exit never replaces an autoload file it could not load without saying so,
// and Enter then answers No; a file that loaded keeps the plain question.
TEST_F(SessionTest, AnAutoloadFileThatFailedToLoadIsNotReplacedUnasked) {
    const QString autoload = Path("autoload.syx");
    const QString plain = "Do you want to save changes to autoload file (" + autoload + ") ?";
    const auto record = BankFileRecordBytes(5, VirtualMopho::FactorySound(1));
    const QByteArray good(reinterpret_cast<const char*>(record.data()),
                          static_cast<qsizetype>(record.size()));
    struct Case {
        const char* what;
        std::function<void()> make;
        bool failed;
    };
    const Case cases[] = {
        {"loads cleanly", [&] { WriteAll(autoload, good); }, false},
        {"holds a damaged record", [&] { WriteAll(autoload, good + good.left(200)); }, true},
        {"is a pipe",
         [&] { ASSERT_EQ(::mkfifo(QFile::encodeName(autoload).constData(), 0600), 0); }, true},
        {"is not there yet", [] {}, false},
    };
    WriteAll(Path("dsi_mopho.ini"), "[Globals]\nAutoloadfile=" + autoload.toUtf8());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(autoload);
        c.make();
        // Reading a pipe would wait for a writer: only files are read here.
        const auto contents = [&] {
            return QFileInfo(autoload).isFile() ? ReadAll(autoload) : QByteArray("not a file");
        };
        const QByteArray before = contents();
        auto window = Start();
        prompter.questions.clear();
        prompter.buttons.clear();
        prompter.answers = {Prompter::Answer::No};
        EXPECT_TRUE(window->close());
        ASSERT_EQ(prompter.questions.size(), 1);
        EXPECT_EQ(prompter.questions[0].endsWith(plain), true);
        EXPECT_EQ(prompter.questions[0].contains("failed to load"), c.failed);
        EXPECT_EQ(prompter.buttons[0],
                  c.failed ? Prompter::Buttons::YesNoDefaultNo : Prompter::Buttons::YesNo);
        EXPECT_EQ(contents(), before);
    }
}

// A settings file that is a pipe is neither read nor written: the window
// closes at once and says why.
TEST_F(SessionTest, ASettingsFileThatIsAPipeDoesNotHoldUpTheClose) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("dsi_mopho.ini")).constData(), 0600), 0);
    auto window = Start();
    EXPECT_TRUE(MemoLines(*window).join('\n').contains("not a regular file"));
    EXPECT_TRUE(window->close());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].contains("not a regular file"))
        << prompter.messages[0].toStdString();
}

} // namespace
