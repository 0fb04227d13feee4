#include "bank_file.h"
#include "file_io.h"
#include "syx_tool.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

TSoundRecord Named(std::string_view name, int seed = 0) {
    TSoundRecord record;
    for (int p = 0; p < SoundLayout::SentParameterCount; ++p)
        record[SoundLayout::ParameterByte(p)] = static_cast<std::uint8_t>(seed + p);
    SetSoundName(record, name);
    return record;
}

Bytes RecordBytes(int slot, std::string_view name, int seed = 0) {
    return BankFileRecordBytes(slot, Named(name, seed));
}

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

class SyxToolTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::ostringstream out, err;

    std::string Path(const char* name) const { return dir.filePath(name).toStdString(); }
    // A path whose name is taken byte for byte, valid UTF-8 or not.
    std::string RawPath(const std::string& name) const {
        return dir.path().toStdString() + "/" + name;
    }

    std::string Write(const char* name, const Bytes& bytes) const { return WriteRaw(name, bytes); }

    // std::ofstream hands the name's bytes to the system unchanged.
    std::string WriteRaw(const std::string& name, const Bytes& bytes) const {
        const std::string path = RawPath(name);
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    Bytes Read(const std::string& path) const {
        std::ifstream stream(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(stream), {}};
    }

    int Run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        return RunSyxTool(args, out, err);
    }
};

TEST_F(SyxToolTest, ListPrintsEverySlotOfASavedBankWithUtf8Names) {
    std::array<TSoundRecord, Slots::Count> banks;
    for (int slot = 0; slot < Slots::Count; ++slot)
        banks[static_cast<std::size_t>(slot)] = Named("Sound " + std::to_string(slot));
    SetSoundName(banks[0], "Bass Line");
    SetSoundName(banks[1], "Caf\xE9 \x80"); // Windows-1252 e acute and euro sign
    const std::string file = Write("bank.syx", BankFileBytes(banks));

    EXPECT_EQ(Run({"list", file}), 0);
    const auto lines = Lines(out.str());
    ASSERT_EQ(lines.size(), 384u);
    EXPECT_EQ(lines[0], "A001\tBass Line");
    EXPECT_EQ(lines[1], "A002\tCaf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_EQ(lines[128], "B001\tSound 128");
    EXPECT_EQ(lines[383], "C128\tSound 383");
    EXPECT_EQ(err.str(), "");
}

TEST_F(SyxToolTest, ListReportsTruncatedAndMalformedRecordsAndExitsWithOne) {
    Bytes noSlot = RecordBytes(3, "Nowhere");
    noSlot[4] = 5;
    const Bytes text(300, 'x');
    const Bytes tail(37, 0xF0);
    const std::string file = Write(
        "odd.syx", Joined({RecordBytes(9, "First"), noSlot, text, RecordBytes(300, "Last"), tail}));

    EXPECT_EQ(Run({"list", file}), 1);
    EXPECT_EQ(out.str(), "A010\tFirst\nC045\tLast\n");
    const auto problems = Lines(err.str());
    ASSERT_EQ(problems.size(), 3u);
    EXPECT_NE(problems[0].find("Record 2 of"), std::string::npos);
    EXPECT_NE(problems[1].find("Record 3 of"), std::string::npos);
    EXPECT_NE(problems[2].find("The last 37 bytes"), std::string::npos);
}

TEST_F(SyxToolTest, UnreadableFilesGiveOneLineAndExitTwo) {
    for (const char* command : {"list", "check"}) {
        EXPECT_EQ(Run({command, Path("missing.syx")}), 2) << command;
        EXPECT_EQ(Lines(err.str()).size(), 1u) << err.str();
        EXPECT_EQ(out.str(), "");
    }
    EXPECT_EQ(Run({"list", dir.path().toStdString()}), 2) << "a folder is no file";
    EXPECT_NE(err.str().find("not a regular file"), std::string::npos);
    EXPECT_EQ(Run({"list", "/dev/zero"}), 2) << "a device would never end";
}

TEST_F(SyxToolTest, FilesAboveTheSizeLimitAreRefused) {
    const std::string file = Write("big.syx", Bytes(301, 0));
    EXPECT_TRUE(ReadWholeFile(file, 301).Ok());
    const FileBytes refused = ReadWholeFile(file, 300);
    EXPECT_FALSE(refused.Ok());
    EXPECT_TRUE(refused.bytes.empty());
    EXPECT_NE(refused.error.find("larger than 300 bytes"), std::string::npos);
}

TEST_F(SyxToolTest, CheckCountsRecordsSlotsAndProblems) {
    const std::string good =
        Write("good.syx", Joined({RecordBytes(0, "A"), RecordBytes(1, "B"), RecordBytes(0, "C")}));
    EXPECT_EQ(Run({"check", good}), 0);
    EXPECT_EQ(out.str(), "complete records: 3\nloadable records: 3\ndistinct slots: 2\n"
                         "problems: 0\n");

    const std::string cut = Write("cut.syx", Joined({RecordBytes(0, "A"), Bytes(10, 0)}));
    EXPECT_EQ(Run({"check", cut}), 1);
    const auto lines = Lines(out.str());
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3], "problems: 1");
    EXPECT_NE(lines[4].find("The last 10 bytes"), std::string::npos);

    const std::string empty = Write("empty.syx", {});
    EXPECT_EQ(Run({"check", empty}), 1);
    EXPECT_EQ(out.str(), "complete records: 0\nloadable records: 0\ndistinct slots: 0\n"
                         "problems: 1\n\"" +
                             empty + "\" holds no record.\n");
}

TEST_F(SyxToolTest, ExtractWritesTheLastRecordOfTheSlot) {
    const std::string file = Write(
        "bank.syx",
        Joined({RecordBytes(137, "Old", 1), RecordBytes(2, "Other"), RecordBytes(137, "New", 2)}));
    const std::string target = Path("one.syx");
    EXPECT_EQ(Run({"extract", file, "b010", target}), 0) << err.str();
    EXPECT_EQ(Read(target), RecordBytes(137, "New", 2));

    EXPECT_EQ(Run({"extract", file, "C128", Path("none.syx")}), 1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("none.syx"))));
    EXPECT_EQ(Run({"extract", file, "D001", target}), 2);
    EXPECT_EQ(Run({"extract", file, "A000", target}), 2);
    EXPECT_EQ(Read(target), RecordBytes(137, "New", 2)) << "failed runs leave the output alone";
}

TEST_F(SyxToolTest, MergeWritesSlotOrderAndLaterFilesWin) {
    Bytes stale = RecordBytes(5, "Stale header");
    const std::string first = Write(
        "first.syx", Joined({RecordBytes(200, "First 200"), stale, RecordBytes(7, "First 7")}));
    const std::string second = Write("second.syx", RecordBytes(200, "Second 200"));
    const std::string merged = Path("merged.syx");

    EXPECT_EQ(Run({"merge", merged, first, second}), 0) << err.str();
    EXPECT_EQ(Read(merged), Joined({RecordBytes(5, "Stale header"), RecordBytes(7, "First 7"),
                                    RecordBytes(200, "Second 200")}));
}

TEST_F(SyxToolTest, MergeOfAMissingFileWritesNothing) {
    const std::string merged = Write("merged.syx", {1, 2, 3});
    const std::string first = Write("first.syx", RecordBytes(1, "One"));
    EXPECT_EQ(Run({"merge", merged, first, Path("missing.syx")}), 2);
    EXPECT_EQ(Read(merged), (Bytes{1, 2, 3}));
    EXPECT_EQ(Lines(err.str()).size(), 1u);
}

TEST_F(SyxToolTest, MergeKeepsWhatLoadsFromABrokenFileAndExitsWithOne) {
    const std::string broken =
        Write("broken.syx", Joined({RecordBytes(3, "Three"), Bytes(299, 0xF0)}));
    const std::string merged = Path("merged.syx");
    EXPECT_EQ(Run({"merge", merged, broken}), 1);
    EXPECT_EQ(Read(merged), RecordBytes(3, "Three"));
}

TEST_F(SyxToolTest, WriteFailureIsReportedWithExitTwo) {
    const std::string file = Write("bank.syx", RecordBytes(0, "Zero"));
    EXPECT_EQ(Run({"merge", Path("no/such/folder/out.syx"), file}), 2);
    EXPECT_NE(err.str().find("cannot write"), std::string::npos);
}

TEST_F(SyxToolTest, DiffNamesTheSlotsThatChangedAndExitsWithWhatItFound) {
    const Bytes backup = Joined({RecordBytes(0, "Bass"), RecordBytes(5, "Lead"),
                                 RecordBytes(130, "Pad"), RecordBytes(383, "Gone")});
    TSoundRecord lead = Named("Lead 2");
    lead[SoundLayout::ParameterByte(20)] ^= 1;  // filter frequency
    lead[SoundLayout::ParameterByte(24)] ^= 1;  // filter poles
    lead[SoundLayout::ParameterByte(110)] ^= 1; // kept by the instrument, shown nowhere
    TSoundRecord pad = Named("Pad");
    pad[SoundLayout::ParameterByte(223)] = 7;
    const Bytes now = Joined({RecordBytes(0, "Bass"), BankFileRecordBytes(5, lead),
                              BankFileRecordBytes(130, pad), RecordBytes(200, "New")});
    const std::string a = Write("a.syx", backup);
    const std::string b = Write("b.syx", now);

    EXPECT_EQ(Run({"diff", a, a}), 0);
    EXPECT_EQ(out.str(), "no sound differs\n");
    EXPECT_EQ(err.str(), "");

    EXPECT_EQ(Run({"diff", a, b}), 1);
    EXPECT_EQ(Lines(out.str()), (std::vector<std::string>{
                                    "A006\tLead\tLead 2\t4 parameters differ: Filter "
                                    "Frequency, steps in semitones; Filter Poles; Parameter "
                                    "110; Name",
                                    "B003\tPad\tPad\t1 parameter differs: Parameter 223",
                                    "B073\t-\tNew\tonly in " + b,
                                    "C128\tGone\t-\tonly in " + a,
                                    "4 slots differ",
                                }));

    EXPECT_EQ(Run({"diff", a, Path("missing.syx")}), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("missing.syx"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"diff", a}), 2);
}

TEST_F(SyxToolTest, DiffOfFilesWithUnusableRecordsExitsWithOne) {
    const std::string empty = Write("empty.syx", Bytes{});
    const std::string broken =
        Write("broken.syx", Joined({RecordBytes(3, "Three"), Bytes(299, 0xF0)}));
    const std::string whole = Write("whole.syx", RecordBytes(3, "Three"));
    EXPECT_EQ(Run({"diff", empty, empty}), 1);
    EXPECT_EQ(out.str(), "no sound differs\n");
    EXPECT_NE(err.str().find("holds no record"), std::string::npos) << err.str();
    EXPECT_EQ(Run({"diff", broken, whole}), 1);
    EXPECT_EQ(out.str(), "no sound differs\n");
    EXPECT_EQ(Run({"diff", whole, whole}), 0);
}

TEST_F(SyxToolTest, UsageErrorsExitTwoAndHelpExitsZero) {
    EXPECT_EQ(Run({}), 2);
    EXPECT_NE(err.str().find("Usage:"), std::string::npos);
    EXPECT_EQ(Run({"frobnicate"}), 2);
    EXPECT_EQ(Run({"list"}), 2);
    EXPECT_EQ(Run({"list", "a", "b"}), 2);
    EXPECT_EQ(Run({"merge", "out.syx"}), 2);
    EXPECT_EQ(Run({"--help"}), 0);
    for (const char* command :
         {"list FILE", "check FILE", "extract FILE SLOT OUT", "merge OUT FILE..."})
        EXPECT_NE(out.str().find(command), std::string::npos) << command;
}

TEST_F(SyxToolTest, TheProgramRunsFromTheCommandLine) {
    const std::string file =
        Write("two.syx", Joined({RecordBytes(0, "Bass Line"), RecordBytes(1, "Lead")}));
    QProcess process;
    process.start(QStringLiteral(TONEWRIGHT_SYX_PATH),
                  {QStringLiteral("list"), QString::fromStdString(file)});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(process.readAllStandardOutput().toStdString(), "A001\tBass Line\nA002\tLead\n");

    process.start(QStringLiteral(TONEWRIGHT_SYX_PATH), {QStringLiteral("list"), dir.filePath("x")});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 2);
}

TEST_F(SyxToolTest, MergeThatFindsNoRecordWritesNothingAndSaysSo) {
    const Bytes bank = Joined({RecordBytes(0, "Keep"), RecordBytes(1, "Me")});
    const std::string keep = Write("keep.syx", bank);
    Bytes otherMaker = RecordBytes(2, "Other");
    otherMaker[1] = 0x42;
    const std::pair<const char*, Bytes> inputs[] = {
        {"empty.syx", {}}, {"garbage.syx", Bytes(100, 'x')}, {"other.syx", otherMaker}};
    for (const auto& [name, bytes] : inputs) {
        EXPECT_EQ(Run({"merge", keep, Write(name, bytes)}), 1) << name;
        EXPECT_EQ(Read(keep), bank) << name;
        EXPECT_NE(err.str().find("no record to merge; nothing was written to \"" + keep + "\""),
                  std::string::npos)
            << err.str();
    }
}

TEST_F(SyxToolTest, NamesThatAreNotUtf8NameTheirFiles) {
    const std::string latin1 = "caf\xE9.syx";
    const std::string source = WriteRaw(latin1, RecordBytes(0, "Bass"));
    EXPECT_EQ(Run({"list", source}), 0) << err.str();
    EXPECT_EQ(out.str(), "A001\tBass\n");

    const std::string target = RawPath("x\xE9.syx");
    EXPECT_EQ(Run({"extract", source, "A001", target}), 0) << err.str();
    EXPECT_EQ(Read(target), RecordBytes(0, "Bass"));
    std::vector<std::string> names;
    DIR* folder = ::opendir(dir.path().toStdString().c_str());
    ASSERT_NE(folder, nullptr);
    while (const dirent* entry = ::readdir(folder))
        names.emplace_back(entry->d_name);
    ::closedir(folder);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", latin1, "x\xE9.syx"}));
}

TEST_F(SyxToolTest, AReportThatCannotBeWrittenExitsTwo) {
    const std::string file = Write("two.syx", Joined({RecordBytes(0, "A"), RecordBytes(1, "B")}));
    const int full = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    {
        DescriptorOutput buffer(full);
        std::ostream report(&buffer);
        EXPECT_EQ(RunSyxTool(std::vector<std::string>{"list", file}, report, err), 2);
    }
    ::close(full);
    EXPECT_EQ(err.str(), "tonewright-syx: cannot write to standard output: No space left on "
                         "device\n");
}

TEST_F(SyxToolTest, FileErrorsSayWhatWentWrong) {
    const std::string good = Write("good.syx", RecordBytes(0, "Zero"));
    const std::string loop = Path("loop.syx");
    ASSERT_EQ(::symlink(loop.c_str(), loop.c_str()), 0);
    EXPECT_EQ(Run({"list", loop}), 2);
    EXPECT_EQ(err.str(),
              "tonewright-syx: cannot read \"" + loop + "\": Too many levels of symbolic links\n");
    EXPECT_EQ(Run({"merge", loop, good}), 2);
    EXPECT_EQ(err.str(),
              "tonewright-syx: cannot write \"" + loop + "\": Too many levels of symbolic links\n");

    // A device cannot be replaced; it is written as it is, and a full one says so.
    EXPECT_EQ(Run({"extract", good, "A001", "/dev/full"}), 2);
    EXPECT_EQ(err.str(), "tonewright-syx: cannot write \"/dev/full\": No space left on device\n");

    const FileBytes big = ReadWholeFile(good, 1u << 20);
    EXPECT_TRUE(big.Ok());
    EXPECT_EQ(SizeText(MaxInputFileSize), "64 MiB");
    EXPECT_EQ(SizeText(300), "300 bytes");
}

TEST_F(SyxToolTest, ReplacingAFileKeepsItsLinkAndPermissions) {
    const std::string bank = Write("bank.syx", RecordBytes(5, "Five"));
    const std::string real = Write("real.syx", {1, 2, 3});
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    const std::string link = Path("link.syx");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    EXPECT_EQ(Run({"extract", bank, "A006", link}), 0) << err.str();
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(Read(real), RecordBytes(5, "Five"));
}

TEST_F(SyxToolTest, VersionAndEveryExitStatusAreShown) {
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(out.str(), "tonewright-syx " TONEWRIGHT_VERSION "\n");
    EXPECT_EQ(Run({"--help"}), 0);
    for (const char* status : {"\n  0  success", "\n  1  ", "\n  2  ", "standard output"})
        EXPECT_NE(out.str().find(status), std::string::npos) << status;
}

// Runs the installed program, as a shell would.
struct ProgramRun {
    int exitCode = -1;
    bool crashed = false;
    std::string out;
    std::string err;
};

ProgramRun RunProgram(const QStringList& args, const std::function<void()>& inChild = {},
                      const QString& standardOutput = {},
                      const QString& program = QStringLiteral(TONEWRIGHT_SYX_PATH)) {
    QProcess process;
    if (inChild)
        process.setChildProcessModifier(inChild);
    if (!standardOutput.isEmpty())
        process.setStandardOutputFile(standardOutput);
    process.start(program, args);
    if (!process.waitForFinished(30000))
        return {};
    return {process.exitCode(), process.exitStatus() == QProcess::CrashExit,
            process.readAllStandardOutput().toStdString(),
            process.readAllStandardError().toStdString()};
}

TEST_F(SyxToolTest, TheProgramReportsAFullStandardOutput) {
    const std::string file = Write("two.syx", Joined({RecordBytes(0, "A"), RecordBytes(1, "B")}));
    const ProgramRun run = RunProgram({"list", QString::fromStdString(file)}, {}, "/dev/full");
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err,
              "tonewright-syx: cannot write to standard output: No space left on device\n");
}

TEST_F(SyxToolTest, TheProgramReportsAFileSizeLimitInsteadOfDying) {
    Bytes bank;
    for (int slot = 0; slot < 10; ++slot)
        bank = Joined({bank, RecordBytes(slot, "S")});
    const std::string file = Write("ten.syx", bank);
    const QString merged = dir.filePath("merged.syx");
    const ProgramRun run = RunProgram({"merge", merged, QString::fromStdString(file)}, [] {
        const rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    EXPECT_FALSE(run.crashed) << "ended by a signal";
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err,
              "tonewright-syx: cannot write \"" + merged.toStdString() + "\": File too large\n");
    EXPECT_FALSE(QFile::exists(merged));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file is left";
}

TEST_F(SyxToolTest, TheProgramReportsAFullDisk) {
    // The program runs with a tiny file system of its own; mounting one needs
    // rights that a test run may lack.
    constexpr int CannotMount = 98;
    Bytes bank;
    for (int slot = 0; slot < 100; ++slot)
        bank = Joined({bank, RecordBytes(slot, "S")});
    const std::string file = Write("hundred.syx", bank);
    const std::string tiny = Path("tiny");
    ASSERT_EQ(::mkdir(tiny.c_str(), 0755), 0);
    const std::string target = tiny + "/out.syx";
    const ProgramRun run =
        RunProgram({"merge", QString::fromStdString(target), QString::fromStdString(file)}, [tiny] {
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("tmpfs", tiny.c_str(), "tmpfs", 0, "size=8k") != 0)
                ::_exit(CannotMount);
        });
    if (run.exitCode == CannotMount)
        GTEST_SKIP() << "no right to mount a small file system, so no disk can be full";
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err,
              "tonewright-syx: cannot write \"" + target + "\": No space left on device\n");
}

TEST_F(SyxToolTest, TheProgramNamesAReadOnlyFolder) {
    // Root may write anywhere, so the program then runs as the user "nobody".
    constexpr int CannotDropRights = 97;
    const bool root = ::geteuid() == 0;
    ASSERT_EQ(::chmod(dir.path().toStdString().c_str(), 0755), 0);
    const std::string file = Write("one.syx", RecordBytes(0, "A"));
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    const std::string folder = Path("locked");
    ASSERT_EQ(::mkdir(folder.c_str(), 0555), 0);
    const std::string target = folder + "/out.syx";
    // A copy of the program in the open folder: the build may sit inside a
    // private folder (mode 0700) that nobody cannot enter.
    const QString program = dir.filePath(QStringLiteral("tonewright-syx"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TONEWRIGHT_SYX_PATH), program));
    ASSERT_EQ(::chmod(program.toLocal8Bit().constData(), 0755), 0);
    const ProgramRun run = RunProgram(
        {"merge", QString::fromStdString(target), QString::fromStdString(file)},
        [root, path = program.toLocal8Bit()] {
            constexpr uid_t nobody = 65534;
            if (root && (::setgid(nobody) != 0 || ::setuid(nobody) != 0))
                ::_exit(CannotDropRights);
            if (::access(path.constData(), X_OK) != 0) // the temporary folder itself is private
                ::_exit(CannotDropRights);
        },
        {}, program);
    if (run.exitCode == CannotDropRights)
        GTEST_SKIP() << "running as root, and either without the right to become another user "
                        "or in a temporary folder that user cannot enter, so no folder can be "
                        "read-only for this test";
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err, "tonewright-syx: cannot write \"" + target +
                           "\": cannot create a file in the folder \"" + folder +
                           "\": Permission denied\n");
}

} // namespace
