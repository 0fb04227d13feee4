#include "schema.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <csignal>
#include <sys/resource.h>

namespace fs = std::filesystem;

namespace {

// A fresh folder of the test's own, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern = (fs::temp_directory_path() / "tw_schema_XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    std::string Path() const { return path_.string(); }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

// Files this process writes cannot grow beyond `bytes` while it lives (the
// super-user too), so a write fails the way a full disk makes it fail.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const fs::path& path) {
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), {}};
}

SchemaList AllowingEverything() {
    SchemaList list;
    for (SchemaEntry& entry : list)
        entry.allowed = std::string(
            static_cast<std::size_t>(entry.Binding().max - entry.Binding().min + 1), '1');
    return list;
}

} // namespace

TEST(SchemaName, IsOneFileNameEverySystemTakes) {
    EXPECT_EQ(SchemaNameProblem(""), "Please set the schema name.");
    for (const std::string_view good : {"Bass", "Soft pads (2)", "a.b", ".hidden", "Ünïcode", "x-"})
        EXPECT_EQ(SchemaNameProblem(good), "") << good;
    for (const std::string_view bad :
         {"a/b", "/etc/passwd", "a\\b", "..", "../up", "a..b", "x:y", "what?", "star*", "tab\there",
          "con", "Com1", "LPT9.old", "nul ", "\xff\xfe", "\xc0\xaf"}) {
        const std::string problem = SchemaNameProblem(bad);
        EXPECT_TRUE(problem.starts_with("The schema name \"")) << bad << ": " << problem;
    }
    EXPECT_NE(SchemaNameProblem(std::string(201, 'a')), "");
}

TEST(SchemaFiles, ListsTheFolderSchemasSortedWithoutRegardToCase) {
    TemporaryFolder folder;
    for (const char* file : {"b.sndfamily", "A.sndfamily", "c.SNDFAMILY", "readme.txt",
                             ".sndfamily", "a2.sndfamily", "B.sndfamily"})
        WriteText(folder / file, "");
    fs::create_directory(folder / "dir.sndfamily");
    EXPECT_EQ(ListSchemaFiles(folder.Path()), (std::vector<std::string>{"", "A", "a2", "B", "b"}));
    EXPECT_TRUE(ListSchemaFiles(folder.Path() + "/missing").empty());
}

TEST(SchemaFiles, SaveAndLoadByName) {
    TemporaryFolder folder;
    const LoadedSchema none = LoadSchema(folder.Path(), "Bass");
    EXPECT_EQ(none.error, "");
    for (const SchemaEntry& entry : none.list)
        EXPECT_EQ(entry.allowed, "0");

    SchemaList list = AllowingEverything();
    list.Find("cmbOsc1Shape")->allowed = "01110";
    ASSERT_EQ(SaveSchema(folder.Path(), "Bass", list), "");
    const LoadedSchema loaded = LoadSchema(folder.Path() + "/", "Bass");
    EXPECT_EQ(loaded.error, "");
    for (std::size_t row = 0; row < list.size(); ++row)
        EXPECT_EQ(loaded.list[row].allowed, list[row].allowed);

    // Saving again replaces the values where they stand and keeps foreign lines.
    const fs::path file = folder / "Bass.sndfamily";
    WriteText(file, "[Notes]\nwho=me\n" + ReadText(file) + "garbage\n");
    list.Find("cmbOsc1Shape")->allowed = "10000";
    ASSERT_EQ(SaveSchema(folder.Path(), "Bass", list), "");
    const std::string text = ReadText(file);
    EXPECT_TRUE(
        text.starts_with("[Notes]\nwho=me\n[Parameters]\ncmbOsc1Shape             =10000\n"));
    EXPECT_TRUE(text.ends_with("garbage\n"));
    EXPECT_EQ(LoadSchema(folder.Path(), "Bass").list.Find("cmbOsc1Shape")->allowed, "10000");

    // The longest name a schema may have still leaves room for the file's
    // extension and the temporary file it is written through.
    const std::string longest(200, 'n');
    ASSERT_EQ(SchemaNameProblem(longest), "");
    EXPECT_EQ(SaveSchema(folder.Path(), longest, list), "");
    EXPECT_EQ(ListSchemaFiles(folder.Path()), (std::vector<std::string>{"Bass", longest}));
}

TEST(SchemaFiles, NamesThatLeaveTheFolderAreRefused) {
    TemporaryFolder folder;
    fs::create_directory(folder / "inner");
    const std::string inner = (folder / "inner").string();
    EXPECT_EQ(SaveSchema(inner, "", AllowingEverything()), "Please set the schema name.");
    EXPECT_NE(SaveSchema(inner, "../escaped", AllowingEverything()), "");
    EXPECT_FALSE(fs::exists(folder / "escaped.sndfamily"));
    EXPECT_TRUE(fs::is_empty(inner));

    WriteText(folder / "outside.sndfamily", "[Parameters]\ncmbOsc1Shape=11111\n");
    const LoadedSchema loaded = LoadSchema(inner, "../outside");
    EXPECT_NE(loaded.error, "");
}

TEST(SchemaFiles, AFileThatCannotBeReplacedStaysAsItWas) {
    TemporaryFolder folder;
    // A folder where the schema would be is neither read nor replaced.
    fs::create_directory(folder / "Pads.sndfamily");
    EXPECT_NE(SaveSchema(folder.Path(), "Pads", AllowingEverything()), "");
    EXPECT_TRUE(fs::is_directory(folder / "Pads.sndfamily"));
    EXPECT_NE(LoadSchema(folder.Path(), "Pads").error, "");

    // A write that runs out of room: the old file stays whole.
    const std::string old = "[Parameters]\ncmbOsc1Shape=11111\n";
    WriteText(folder / "Lead.sndfamily", old);
    std::string error;
    {
        FileSizeLimit limit(1000);
        error = SaveSchema(folder.Path(), "Lead", AllowingEverything());
    }
    EXPECT_TRUE(error.starts_with("Cannot save the schema ")) << error;
    EXPECT_EQ(ReadText(folder / "Lead.sndfamily"), old);
}
