#include "library_commands.h"
#include "library_list.h"
#include "main_window.h"
#include "message_memo.h"
#include "scripted_dialogs.h"
#include "support/main_window_on_instrument.h"
#include "support/main_window_probes.h"
#include "support/named_child.h"
#include "test_files.h"

#include "builtin_instrument_service.h"
#include "sysex_codec.h"
#include "sysex_messages.h"
#include "virtual_mopho.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

// Fills every slot with a distinct sound: parameters derived from the slot.
void FillDistinctSounds(TSoundLibrary& library) {
    for (int slot = 0; slot < Slots::Count; ++slot) {
        TSoundRecord record = library.Sound(slot);
        for (int p = 0; p < SoundLayout::SentParameterCount; ++p)
            record[SoundLayout::ParameterByte(p)] =
                static_cast<std::uint8_t>((slot * 7 + p * 13) & 0xFF);
        library.StoreSound(slot, record);
        library.SetSoundName(slot, Slots::Caption(slot) + " sound");
    }
}

// The file commands on a library and its list, with no window.
class FileCommandsTest : public ::testing::Test {
protected:
    FileCommandsTest() { library.InitEmptyBanks(); }

    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QStringList Memo() const { return memo; }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    ScriptedFileChooser chooser;
    TSoundLibrary library;
    LibraryList list{library};
    QStringList memo;
    LibraryCommands commands{
        library, list, prompter, chooser, {[this](const QString& line) { memo << line; }, {}, {}}};
};

TEST_F(FileCommandsTest, SaveAllThenLoadRestoresEverySlotAfterMoves) {
    FillDistinctSounds(library);
    const TSoundRecord third = library.Sound(3); // a moved sound keeps its old header
    library.StoreSound(3, library.Sound(200));
    library.StoreSound(200, third);
    const auto before = library.Sounds();

    chooser.paths = {Path("all.syx")};
    commands.SaveToFile();
    ASSERT_EQ(ReadAll(Path("all.syx")).size(), 384 * 300);

    commands.NewEmptySoundBanks();
    for (int slot = 0; slot < Slots::Count; ++slot)
        library.StoreSound(slot, TSoundRecord{});
    chooser.paths = {Path("all.syx")};
    commands.LoadFromFile();
    EXPECT_EQ(prompter.questions, QStringList{"Save changes ?"});

    for (int slot = 0; slot < Slots::Count; ++slot) {
        const auto& got = library.Sound(slot);
        const auto& want = before[static_cast<std::size_t>(slot)];
        ASSERT_EQ(got[4], Slots::BankOf(slot)) << slot;
        ASSERT_EQ(got[5], Slots::ProgramOf(slot)) << slot;
        for (int p = 0; p < SoundLayout::SentParameterCount; ++p)
            ASSERT_EQ(got[SoundLayout::ParameterByte(p)], want[SoundLayout::ParameterByte(p)])
                << "slot " << slot << " parameter " << p;
    }
    EXPECT_EQ(list.ShownName(200), QString::fromStdString(Slots::Caption(3) + " sound      "));
    EXPECT_EQ(library.SelectedCount(), 0);
}

TEST_F(FileCommandsTest, LoadingTwoRecordsChangesOnlyThoseSlotsAndKeepsMarks) {
    FillDistinctSounds(library);
    const auto before = library.Sounds();
    TSoundLibrary other;
    other.InitEmptyBanks();
    other.SetSoundName(4, "Five");
    other.SetSoundName(137, "Bten");
    LibraryFiles writer(other, prompter, [](const QString&) {});
    ASSERT_TRUE(writer.SaveSlotsToFile(Path("two.syx"), {4, 137}));

    library.MarkChanged(4, true);
    library.MarkChanged(9, true);
    commands.LoadBankFile(Path("two.syx"));
    EXPECT_EQ(library.GetSoundName(4), "Five            ");
    EXPECT_EQ(library.GetSoundName(137), "Bten            ");
    for (int slot = 0; slot < Slots::Count; ++slot) {
        if (slot != 4 && slot != 137) {
            ASSERT_EQ(library.Sound(slot), before[static_cast<std::size_t>(slot)]);
        }
    }
    EXPECT_TRUE(library.IsChanged(4));
    EXPECT_TRUE(library.IsChanged(9));
    EXPECT_FALSE(library.IsChanged(137));
}

TEST_F(FileCommandsTest, WorkInSlotsALoadLeftAloneStaysUnsaved) {
    commands.RememberSaved();
    library.SetSoundName(20, "Lead"); // unsaved work
    WriteAll(Path("text.syx"), "not a bank\n");
    WriteAll(Path("empty.syx"), QByteArray());
    TSoundLibrary other;
    other.InitEmptyBanks();
    other.SetSoundName(4, "Five");
    LibraryFiles writer(other, prompter, [](const QString&) {});
    ASSERT_TRUE(writer.SaveSlotsToFile(Path("one.syx"), {4}));
    for (const char* file : {"text.syx", "empty.syx", "one.syx"}) {
        commands.LoadBankFile(Path(file));
        EXPECT_TRUE(commands.HasUnsavedChanges()) << file;
    }
    EXPECT_TRUE(memo.contains(QDir::toNativeSeparators(Path("empty.syx")) +
                              " holds no sound: nothing was loaded."))
        << memo.join('\n').toStdString();
    // Loaded over the work, the file's sounds are all that is saved.
    writer.SaveSlotsToFile(Path("back.syx"), {20});
    commands.LoadBankFile(Path("back.syx"));
    EXPECT_FALSE(commands.HasUnsavedChanges());
}

TEST_F(FileCommandsTest, BadRecordsAreReportedAndNothingElseIsLost) {
    TSoundLibrary other;
    other.InitEmptyBanks();
    other.SetSoundName(0, "Good");
    LibraryFiles writer(other, prompter, [](const QString&) {});
    ASSERT_TRUE(writer.SaveSlotsToFile(Path("good.syx"), {0, 1}));
    QByteArray bytes = ReadAll(Path("good.syx"));
    bytes[300 + 4] = 5;                    // the second record names bank F
    bytes.append(QByteArray(120, '\x11')); // and the file is cut off after it
    WriteAll(Path("bad.syx"), bytes);

    commands.LoadBankFile(Path("bad.syx"));
    EXPECT_EQ(library.GetSoundName(0), "Good            ");
    EXPECT_EQ(list.ShownName(0), "Good            ");
    ASSERT_EQ(memo.size(), 2) << memo.join('\n').toStdString();
    EXPECT_TRUE(memo[0].contains("bad.syx")) << memo[0].toStdString();
    EXPECT_TRUE(memo[1].contains("120")) << memo[1].toStdString();
}

TEST_F(FileCommandsTest, RecordsOfOtherMakersAndBrokenRecordsAreReportedAndNotLoaded) {
    library.SetSoundName(1, "Kept 1");
    library.SetSoundName(2, "Kept 2");
    TSoundLibrary other;
    other.InitEmptyBanks();
    for (int slot = 0; slot < 4; ++slot)
        other.SetSoundName(slot, "New " + std::to_string(slot));
    LibraryFiles writer(other, prompter, [](const QString&) {});
    ASSERT_TRUE(writer.SaveSlotsToFile(Path("mixed.syx"), {0, 1, 2, 3}));
    QByteArray bytes = ReadAll(Path("mixed.syx"));
    bytes[300 + 1] = 0x42;                      // A002 comes from another maker
    bytes[600 + 150] = static_cast<char>(0x85); // A003 holds a status byte in its data
    bytes[900 + 2] = 0x27;                      // A004 from another instrument of the maker
    WriteAll(Path("mixed.syx"), bytes);

    const auto before = Memo().size();
    commands.LoadBankFile(Path("mixed.syx"));
    EXPECT_EQ(library.GetSoundName(0), "New 0           ");
    EXPECT_EQ(library.GetSoundName(1), "Kept 1          ");
    EXPECT_EQ(library.GetSoundName(2), "Kept 2          ");
    EXPECT_EQ(library.GetSoundName(3), "New 3           ");
    const QStringList lines = Memo().mid(before);
    ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith("Record 2 of") &&
                lines[0].contains("is not a program dump of this maker"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("Record 3 of") && lines[1].contains("status byte 85"))
        << lines[1].toStdString();
    EXPECT_TRUE(lines[2].startsWith("Record 4 of") && lines[2].contains("family byte 27"))
        << lines[2].toStdString();
}

TEST_F(FileCommandsTest, MissingFileIsReportedAndTheListKept) {
    library.SetSoundName(7, "Kept");
    commands.LoadBankFile(Path("missing.syx"));
    EXPECT_EQ(Memo().size(), 1);
    EXPECT_TRUE(Memo().last().contains("missing.syx"));
    EXPECT_EQ(list.ShownName(7), "Kept            ") << "a failed load changes no row";
}

// Makes writes beyond a size fail with EFBIG, as a full disk would, for the
// life of the object; works whatever rights the test runs with.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(FileCommandsTest, FailedSaveLeavesThePreviousFileIntact) {
    WriteAll(Path("bank.syx"), "previous");
    {
        FileSizeLimit limit(50000);
        commands.SaveBankFile(Path("bank.syx"));
    }
    EXPECT_EQ(ReadAll(Path("bank.syx")), "previous");
    EXPECT_TRUE(Memo().last().startsWith("Cannot write")) << Memo().last().toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"bank.syx"})
        << "no temporary file is left behind";
}

TEST_F(FileCommandsTest, SaveSelectedAsksBeforeReplacingAndWritesInSlotOrder) {
    WriteAll(Path("sel.syx"), "old");
    list.SelectSlots({300, 2});
    chooser.paths = {Path("sel.syx")};
    prompter.answers = {Prompter::Answer::No};
    commands.SaveSelectedSounds();
    EXPECT_EQ(prompter.questions, QStringList{"Do you want to replace it?"});
    EXPECT_EQ(ReadAll(Path("sel.syx")), "old");

    chooser.paths = {Path("sel.syx")};
    prompter.answers = {Prompter::Answer::Yes};
    commands.SaveSelectedSounds();
    const QByteArray saved = ReadAll(Path("sel.syx"));
    ASSERT_EQ(saved.size(), 600);
    EXPECT_EQ(saved[4], 0);
    EXPECT_EQ(saved[5], 2);
    EXPECT_EQ(saved[304], 2);
    EXPECT_EQ(saved[305], 300 - 256);
}

TEST_F(FileCommandsTest, SeparateFilesAreNamedByRowAndCancelStopsTheRun) {
    EXPECT_EQ(LibraryFiles::SeparateFileName("x.syx", 383), "x.syx384.syx");
    list.SelectSlots({11, 12, 13});
    WriteAll(Path("b.syx13.syx"), "keep");
    chooser.paths = {Path("b.syx")};
    prompter.answers = {Prompter::Answer::Cancel};
    commands.SaveSeparateFiles();
    EXPECT_EQ(ReadAll(Path("b.syx12.syx")).size(), 300);
    EXPECT_EQ(ReadAll(Path("b.syx13.syx")), "keep");
    EXPECT_FALSE(QFile::exists(Path("b.syx14.syx"))) << "Cancel ends the whole run";
}

TEST_F(FileCommandsTest, SeparateFilesOfOneRowOfferToSelectAll) {
    list.SelectSlots({0});
    chooser.paths = {Path("all.syx")};
    prompter.answers = {Prompter::Answer::Yes};
    commands.SaveSeparateFiles();
    EXPECT_EQ(prompter.questions, QStringList{"Select all?"});
    EXPECT_TRUE(QFile::exists(Path("all.syx384.syx")));
}

TEST_F(FileCommandsTest, CancelledDialogsChangeNothing) {
    library.SetSoundName(1, "Mine");
    list.RebuildList();
    commands.LoadFromFile();
    commands.SaveToFile();
    EXPECT_EQ(list.ShownName(1), "Mine            ");
    EXPECT_TRUE(Memo().isEmpty());
}

} // namespace

namespace {

class SendSysExFromFile : public ::testing::Test, protected MainWindowOnInstrument {};

// "Send SysEx from file" on the built-in instrument: the file's messages arrive
// unchanged and in order, the first of them a program the instrument keeps.
TEST_F(SendSysExFromFile, ReachesTheBuiltInInstrument) {
    QTemporaryDir dir;

    TSoundRecord sound = VirtualMopho::FactorySound(9);
    SetSoundName(sound, "From a file");
    auto bytes = ProgramDumpMessage(sound, 2, 3);
    const auto request = EditBufferRequestMessage();
    bytes.insert(bytes.end(), request.begin(), request.end());
    const QString path = dir.filePath(QStringLiteral("send.syx"));
    WriteAll(path, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                              static_cast<qsizetype>(bytes.size())));

    chooser.paths = {path};
    Named<QAction>(*window, "actSendSysExFile")->trigger();
    midi.WaitUntilIdle();
    EXPECT_EQ(GetSoundName(instrument->Program(Slots::Of(2, 3))), "From a file     ");
    const auto& log = instrument->Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1], "F0 01 25 06 F7");
    EXPECT_EQ(MemoLines(*window).last(),
              QStringLiteral("Sent 305 bytes from ") + QDir::toNativeSeparators(path));
}

// A pipe with no writer would hold the window until one came, and a device
// file may never end: only regular files are sent.
TEST_F(SendSysExFromFile, PipesAndDevicesAreRefusedAtOnce) {
    QTemporaryDir dir;
    const QString pipe = dir.filePath(QStringLiteral("pipe.syx"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    for (const QString& path : {pipe, QStringLiteral("/dev/zero")}) {
        chooser.paths = {path};
        Named<QAction>(*window, "actSendSysExFile")->trigger();
        midi.WaitUntilIdle();
        EXPECT_EQ(MemoLines(*window).last(),
                  "Cannot read " + QDir::toNativeSeparators(path) + ": not a regular file");
    }
    EXPECT_TRUE(instrument->Log().empty());
}

} // namespace
