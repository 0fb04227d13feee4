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
    return AnyValueSchema();
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

// A schema is loaded only when it is one; otherwise the caller keeps the one
// in use and shows why. Schema files hold kilobytes: a huge one is refused
// unread, for loading and for saving over.
TEST(SchemaFiles, AFileThatIsNoSchemaIsNotLoadedAndSaysWhy) {
    TemporaryFolder folder;
    WriteText(folder / "Text.sndfamily", "just some words\n[Other]\nknobOsc1Frequency=1\n");
    const std::string huge =
        "[Parameters]\ncmbOsc1Shape=01110\n" + std::string(MaxSchemaFileSize, '\n');
    WriteText(folder / "Huge.sndfamily", huge);
    const std::pair<std::string, std::string> cases[] = {
        {"Gone", "The schema \"Gone\" cannot be loaded: no such file."},
        {"Text", "The schema \"Text\" cannot be loaded: the file holds no schema line."},
        {"Huge", "The schema \"Huge\" cannot be loaded: larger than 1 MiB."},
    };
    for (const auto& [name, error] : cases)
        EXPECT_EQ(LoadSchema(folder.Path(), name).error, error);
    EXPECT_EQ(SaveSchema(folder.Path(), "Huge", AllowingEverything()),
              "Cannot read the schema " + (folder / "Huge.sndfamily").string() +
                  ": larger than 1 MiB");
    EXPECT_EQ(ReadText(folder / "Huge.sndfamily"), huge);
    // One key is a schema; the entries it leaves out allow nothing.
    WriteText(folder / "One.sndfamily", "[parameters]\n cmbosc1shape = 01110\n");
    const LoadedSchema one = LoadSchema(folder.Path(), "One");
    EXPECT_EQ(one.error, "");
    EXPECT_EQ(one.list.Find("cmbOsc1Shape")->allowed, "01110");
    EXPECT_EQ(one.list.Find("knobOsc1Frequency")->allowed, "0");
}

// A name in another encoding (Latin-1 "Bäss") is listed, loaded and saved
// under its own bytes, and shown as the text it was meant to be.
TEST(SchemaFiles, ANameThatIsNotUtf8KeepsItsBytes) {
    TemporaryFolder folder;
    const std::string latin1 = "B\xe4ss";
    WriteText(folder / (latin1 + ".sndfamily"), "[Parameters]\ncmbOsc1Shape=01110\n");
    ASSERT_EQ(ListSchemaFiles(folder.Path()), std::vector<std::string>{latin1});
    EXPECT_EQ(SchemaDisplayName(latin1), "B\u00e4ss");
    EXPECT_EQ(SchemaDisplayName("B\u00e4ss"), "B\u00e4ss");

    LoadedSchema loaded = LoadSchema(folder.Path(), latin1);
    ASSERT_EQ(loaded.error, "");
    EXPECT_EQ(loaded.list.Find("cmbOsc1Shape")->allowed, "01110");
    loaded.list.Find("cmbOsc1Shape")->allowed = "10000";
    EXPECT_EQ(SaveSchema(folder.Path(), latin1, loaded.list), "");
    EXPECT_EQ(ListSchemaFiles(folder.Path()), std::vector<std::string>{latin1}) << "no second file";
    EXPECT_EQ(LoadSchema(folder.Path(), latin1).list.Find("cmbOsc1Shape")->allowed, "10000");
    // A new name of that kind is still refused: nobody could type it again.
    EXPECT_NE(SaveSchema(folder.Path(), "N\xe4w", loaded.list), "");
}

// No file takes the built-in schema's name.
TEST(SchemaFiles, TheAnyValueSchemaCannotBeSavedOver) {
    TemporaryFolder folder;
    EXPECT_TRUE(SaveSchema(folder.Path(), AnyValueSchemaName, AnyValueSchema())
                    .starts_with("The schema name \"(any value)\" cannot be used"));
    EXPECT_TRUE(fs::is_empty(folder.Path()));
}
