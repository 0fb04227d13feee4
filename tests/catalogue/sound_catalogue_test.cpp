#include "sound_catalogue.h"

#include "support/sound_builder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using sound_builder::Sound;
using sound_builder::WriteBank;
using testing::ElementsAre;

namespace {

class CatalogueTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "catalogue-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    std::unique_ptr<SoundCatalogue> OpenCatalogue(const std::string& name = "catalogue.sqlite") {
        auto opened = SoundCatalogue::Open(PathOf(name));
        if (auto* failure = std::get_if<CatalogueOpenFailure>(&opened)) {
            ADD_FAILURE() << failure->message;
            return nullptr;
        }
        return std::move(std::get<std::unique_ptr<SoundCatalogue>>(opened));
    }

    std::string Bank(const std::string& name, std::initializer_list<TSoundRecord> sounds) {
        const std::string path = PathOf(name);
        fs::create_directories(fs::path(path).parent_path());
        WriteBank(path, std::vector<TSoundRecord>(sounds));
        return path;
    }

    static std::vector<std::string> Names(const SoundCatalogue& catalogue,
                                          const std::vector<SoundId>& ids) {
        std::vector<std::string> names;
        for (const SoundId id : ids)
            names.push_back(catalogue.Summary(id)->name);
        return names;
    }

    static std::vector<std::string> Find(const SoundCatalogue& catalogue, std::string text,
                                         std::optional<SoundCategory> category = std::nullopt,
                                         bool favouritesOnly = false) {
        return Names(catalogue, catalogue.Search({std::move(text), category, favouritesOnly}));
    }

    static ImportReport Import(SoundCatalogue& catalogue, std::vector<std::string> paths) {
        return catalogue.ImportPaths(paths);
    }

    static std::vector<std::uint8_t> Bytes(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    fs::path folder_;
};

TEST_F(CatalogueTest, KeepsEachSoundOnceWithEverySourceItCameFrom) {
    auto catalogue = OpenCatalogue();
    const TSoundRecord bass = Sound("Fat Bass", 1);
    TSoundRecord movedBass = bass; // the same sound read from another bank and program
    movedBass[SoundLayout::BankByte] = 2;
    movedBass[SoundLayout::ProgramByte] = 9;
    TSoundRecord renamed = bass;
    SetSoundName(renamed, "Fat Bass 2");
    TSoundRecord beyondTheName = bass; // parameters past the name are no part of the sound
    beyondTheName[SoundLayout::ParameterByte(210)] ^= 1;
    const std::string first = Bank("first.syx", {bass, Sound("Pad", 2)});
    const std::string second =
        Bank("second.syx", {Sound("Lead", 3), movedBass, beyondTheName, renamed});

    const ImportReport report = Import(*catalogue, {first, second});

    ASSERT_TRUE(report.Ok());
    EXPECT_EQ(report.filesRead, 2);
    EXPECT_EQ(report.soundsAdded, 4); // bass, pad, lead, the renamed bass
    EXPECT_EQ(report.soundsKnown, 2);
    EXPECT_EQ(catalogue->SoundCount(), 4);
    const std::vector<SoundId> found = catalogue->Search({"fat bass", std::nullopt, false});
    ASSERT_EQ(found.size(), 2u);
    const SoundSummary summary = *catalogue->Summary(found[0]);
    EXPECT_EQ(summary.name, "Fat Bass");
    ASSERT_EQ(summary.sources.size(), 3u);
    EXPECT_EQ(summary.sources[0].file, first);
    EXPECT_EQ(summary.sources[0].slot, 0);
    EXPECT_EQ(summary.sources[1].file, second);
    EXPECT_EQ(summary.sources[1].slot, 1);
    EXPECT_EQ(summary.sources[2].slot, 2);
    EXPECT_FALSE(summary.sources[0].imported.empty());
    EXPECT_EQ(*catalogue->Sound(found[0]), bass); // kept as first seen

    // A sound added from elsewhere names its source, and finds the same sound.
    EXPECT_EQ(catalogue->AddSound(movedBass, "Library", 7), found[0]);
    EXPECT_EQ(catalogue->Summary(found[0])->sources.back(),
              (SoundSource{"Library", 7, summary.sources[0].imported}));
}

TEST_F(CatalogueTest, SkipsAnUnchangedFileAndReadsAChangedOneAgain) {
    auto catalogue = OpenCatalogue();
    const std::string bank = Bank("bank.syx", {Sound("One", 1)});
    ASSERT_EQ(Import(*catalogue, {bank}).filesRead, 1);

    ImportReport again = Import(*catalogue, {bank});
    EXPECT_EQ(again.filesUnchanged, 1);
    EXPECT_EQ(again.filesRead, 0);
    EXPECT_EQ(again.soundsKnown, 0);

    Bank("bank.syx", {Sound("One", 1), Sound("Two", 2)});
    again = Import(*catalogue, {bank});
    EXPECT_EQ(again.filesRead, 1);
    EXPECT_EQ(again.soundsAdded, 1);
    EXPECT_EQ(again.soundsKnown, 1);
    EXPECT_EQ(catalogue->SoundCount(), 2);
}

TEST_F(CatalogueTest, SearchesFoldersAndReportsWhatItCannotUse) {
    auto catalogue = OpenCatalogue();
    Bank("sets/a.syx", {Sound("A", 1)});
    Bank("sets/deeper/b.SYX", {Sound("B", 2)});
    Bank("sets/notes.txt", {Sound("Not a bank", 3)});
    std::vector<std::uint8_t> damaged =
        sound_builder::BankBytes(std::vector{Sound("C", 4), Sound("D", 5)});
    damaged[300 + 100] = 0x90; // a status byte inside the second record
    sound_builder::WriteFile(PathOf("sets/damaged.syx"), damaged);

    const ImportReport report = Import(*catalogue, {PathOf("sets"), PathOf("missing.syx")});

    ASSERT_TRUE(report.Ok());
    EXPECT_EQ(report.filesRead, 3);
    EXPECT_THAT(Find(*catalogue, ""), ElementsAre("A", "B", "C"));
    ASSERT_EQ(report.problems.size(), 2u);
    EXPECT_THAT(report.problems[0], testing::HasSubstr("damaged.syx"));
    EXPECT_THAT(report.problems[1], testing::HasSubstr("missing.syx"));
}

TEST_F(CatalogueTest, ACancelledImportKeepsNothingOfIt) {
    auto catalogue = OpenCatalogue();
    Import(*catalogue, {Bank("before.syx", {Sound("Before", 1)})});
    const std::vector<std::string> banks = {Bank("x.syx", {Sound("X", 2)}),
                                            Bank("y.syx", {Sound("Y", 3)})};
    int files = 0;
    const ImportReport report =
        catalogue->ImportPaths(banks, [&files](const std::string&) { return ++files < 2; });

    EXPECT_FALSE(report.Ok());
    EXPECT_THAT(Find(*catalogue, ""), ElementsAre("Before"));
    // The files count as never imported: the next import reads them.
    EXPECT_EQ(Import(*catalogue, banks).filesRead, 2);
}

TEST_F(CatalogueTest, AProgramKilledHalfwayThroughAnImportLosesNothing) {
    {
        auto catalogue = OpenCatalogue();
        Import(*catalogue, {Bank("before.syx", {Sound("Before", 1)})});
    }
    const std::vector<std::string> banks = {Bank("x.syx", {Sound("X", 2)}),
                                            Bank("y.syx", {Sound("Y", 3)})};
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto opened = SoundCatalogue::Open(PathOf("catalogue.sqlite"));
        auto& catalogue = *std::get<std::unique_ptr<SoundCatalogue>>(opened);
        int files = 0;
        // Killed while the second file is about to be read: the first is in the open transaction.
        catalogue.ImportPaths(banks, [&files](const std::string&) {
            if (++files == 2)
                kill(getpid(), SIGKILL);
            return true;
        });
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    auto catalogue = OpenCatalogue();
    EXPECT_THAT(Find(*catalogue, ""), ElementsAre("Before"));
    EXPECT_EQ(Import(*catalogue, banks).soundsAdded, 2);
}

TEST_F(CatalogueTest, FindsByNameIgnoringCaseAndFiltersByCategoryAndFavourite) {
    auto catalogue = OpenCatalogue();
    // "\xC9" is É and "\xE9" é in Windows-1252.
    Import(*catalogue, {Bank("bank.syx", {Sound("Sub BASS", 1), Sound("\xC9t\xE9 Pad", 2),
                                          Sound("acid bass", 3), Sound("Bassoon Lead", 4)})});

    EXPECT_THAT(Find(*catalogue, "BaSs"), ElementsAre("acid bass", "Bassoon Lead", "Sub BASS"));
    EXPECT_THAT(Find(*catalogue, "\xE9t\xC9"), ElementsAre("\xC9t\xE9 Pad"));
    EXPECT_THAT(Find(*catalogue, "bass", SoundCategory::Bass),
                ElementsAre("acid bass", "Sub BASS"));

    const SoundId lead = catalogue->Search({"bassoon", std::nullopt, false})[0];
    EXPECT_EQ(catalogue->Summary(lead)->category, SoundCategory::Lead);
    catalogue->SetCategory(lead, SoundCategory::Brass);
    catalogue->SetFavourite(lead, true);
    catalogue->SetTags(lead, SplitTags(" warm , reed,, "));
    EXPECT_THAT(Find(*catalogue, "", SoundCategory::Brass, true), ElementsAre("Bassoon Lead"));
    EXPECT_THAT(Find(*catalogue, "", std::nullopt, true), ElementsAre("Bassoon Lead"));
    const SoundSummary summary = *catalogue->Summary(lead);
    EXPECT_TRUE(summary.favourite);
    EXPECT_THAT(summary.tags, ElementsAre("reed", "warm"));
}

TEST_F(CatalogueTest, ListsTheNearestSoundsFirst) {
    auto catalogue = OpenCatalogue();
    const TSoundRecord original = Sound("Original", 1);
    const auto changed = [&original](std::string_view name,
                                     std::initializer_list<std::pair<int, int>> changes) {
        TSoundRecord sound = original;
        SetSoundName(sound, name);
        for (const auto& [parameter, delta] : changes)
            sound[SoundLayout::ParameterByte(parameter)] += delta;
        return sound;
    };
    // Parameter 20 is the filter cutoff, 2 the shape of oscillator 1, 120.. sequencer steps.
    const TSoundRecord sequenceOnly = changed("Other steps", {{120, 20}, {121, 20}, {122, 20}});
    const TSoundRecord cutoff = changed("Brighter", {{20, 10}});
    const TSoundRecord reshaped = changed("New shapes", {{2, 30}, {8, 30}, {20, 10}});
    Import(*catalogue,
           {Bank("bank.syx", {reshaped, original, cutoff, sequenceOnly, Sound("Unrelated", 40)})});

    const SoundId id = catalogue->Search({"original", std::nullopt, false})[0];
    EXPECT_THAT(Names(*catalogue, catalogue->FindSimilar(id, 10)),
                ElementsAre("Other steps", "Brighter", "New shapes", "Unrelated"));
    EXPECT_EQ(catalogue->FindSimilar(id, 2).size(), 2u);
}

TEST_F(CatalogueTest, ACatalogueThatCannotBeOpenedIsSetAsideUntouched) {
    const auto makeNewer = [](sqlite3* db) {
        sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
    };
    const auto makeForeign = [](sqlite3* db) {
        sqlite3_exec(db, "PRAGMA application_id = 7", nullptr, nullptr, nullptr);
    };
    struct Case {
        const char* what;
        std::function<void(sqlite3*)> spoil; // on an open catalogue; none: the bytes are garbage
        CatalogueOpenProblem problem;
    };
    const Case cases[] = {
        {"garbage", nullptr, CatalogueOpenProblem::Damaged},
        {"newer", makeNewer, CatalogueOpenProblem::Newer},
        {"another program's", makeForeign, CatalogueOpenProblem::Damaged},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = PathOf(std::string(c.what) + ".sqlite");
        if (c.spoil) {
            SoundCatalogue::Open(path); // a real catalogue first
            sqlite3* db = nullptr;
            sqlite3_open(path.c_str(), &db);
            c.spoil(db);
            sqlite3_close(db);
        } else {
            sound_builder::WriteFile(path, std::vector<std::uint8_t>(4096, 0x5A));
        }
        const std::vector<std::uint8_t> before = Bytes(path);

        auto opened = SoundCatalogue::Open(path);
        ASSERT_TRUE(std::holds_alternative<CatalogueOpenFailure>(opened));
        EXPECT_EQ(std::get<CatalogueOpenFailure>(opened).problem, c.problem);
        EXPECT_THAT(std::get<CatalogueOpenFailure>(opened).message, testing::HasSubstr(path));

        const auto aside = SoundCatalogue::SetAside(path);
        ASSERT_TRUE(std::holds_alternative<std::string>(aside));
        EXPECT_EQ(Bytes(std::get<std::string>(aside)), before);
        EXPECT_FALSE(fs::exists(path));
        EXPECT_TRUE(
            std::holds_alternative<std::unique_ptr<SoundCatalogue>>(SoundCatalogue::Open(path)));
    }
}

TEST_F(CatalogueTest, ACatalogueLockedByAnotherProgramIsReportedBusy) {
    OpenCatalogue();
    sqlite3* other = nullptr;
    sqlite3_open(PathOf("catalogue.sqlite").c_str(), &other);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    auto opened = SoundCatalogue::Open(PathOf("catalogue.sqlite"));
    ASSERT_TRUE(std::holds_alternative<CatalogueOpenFailure>(opened));
    EXPECT_EQ(std::get<CatalogueOpenFailure>(opened).problem, CatalogueOpenProblem::Busy);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
}

TEST_F(CatalogueTest, AReadOnlyCatalogueCanBeSearchedButNotChanged) {
    {
        auto catalogue = OpenCatalogue();
        Import(*catalogue, {Bank("bank.syx", {Sound("Kept", 1)})});
    }
    // As the command line opens it to search, and as any file the user may not write opens.
    auto opened = SoundCatalogue::Open(PathOf("catalogue.sqlite"), CatalogueAccess::ReadOnly);
    ASSERT_TRUE(std::holds_alternative<std::unique_ptr<SoundCatalogue>>(opened));
    auto& catalogue = std::get<std::unique_ptr<SoundCatalogue>>(opened);
    EXPECT_TRUE(catalogue->ReadOnly());
    EXPECT_THAT(Find(*catalogue, "kept"), ElementsAre("Kept"));
    const ImportReport report = Import(*catalogue, {Bank("more.syx", {Sound("More", 2)})});
    EXPECT_FALSE(report.Ok());
    EXPECT_THAT(*report.failure, testing::HasSubstr("can only be read"));
}

} // namespace
