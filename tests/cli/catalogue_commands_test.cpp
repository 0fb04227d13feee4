#include "bank_file.h"
#include "file_io.h"
#include "support/sound_builder.h"
#include "syx_tool.h"

#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace {

using sound_builder::Sound;
using testing::HasSubstr;

class CatalogueCommandsTest : public testing::Test {
protected:
    QTemporaryDir dir;
    std::ostringstream out, err;

    std::string Path(const char* name) const {
        return dir.filePath(QString::fromLatin1(name)).toStdString();
    }

    int Run(std::vector<std::string> args) {
        out.str({});
        err.str({});
        args.insert(args.begin() + 2, {"--catalogue", Path("catalogue.sqlite")});
        return RunSyxTool(args, out, err);
    }
};

TEST_F(CatalogueCommandsTest, ImportFindAndExportSayHowTheyWentInTheirStatus) {
    const std::string bank = Path("bank.syx");
    sound_builder::WriteBank(
        bank, std::vector{Sound("Fat Bass", 1), Sound("Soft Pad", 2), Sound("Acid Bass", 3)});
    std::vector<std::uint8_t> damaged = sound_builder::BankBytes(std::vector{Sound("Lead", 4)});
    damaged.resize(200); // cut off
    sound_builder::WriteFile(Path("damaged.syx"), damaged);

    EXPECT_EQ(Run({"catalogue", "import", bank}), SyxExit::Success);
    EXPECT_THAT(out.str(), HasSubstr("3 new sounds"));
    EXPECT_EQ(Run({"catalogue", "import", bank, Path("damaged.syx")}), SyxExit::Problems);
    EXPECT_THAT(err.str(), HasSubstr("damaged.syx"));
    EXPECT_THAT(out.str(), HasSubstr("1 file unchanged"));

    EXPECT_EQ(Run({"catalogue", "find", "bass"}), SyxExit::Success);
    EXPECT_EQ(out.str(), "Acid Bass\tbass\t" + bank + " A003\nFat Bass\tbass\t" + bank + " A001\n");
    EXPECT_EQ(Run({"catalogue", "find", "--category", "pad", ""}), SyxExit::Success);
    EXPECT_EQ(out.str(), "Soft Pad\tpad\t" + bank + " A002\n");
    EXPECT_EQ(Run({"catalogue", "find", "--favourite", "bass"}), SyxExit::Problems);
    EXPECT_EQ(out.str(), "");

    const std::string exported = Path("basses.syx");
    EXPECT_EQ(Run({"catalogue", "export", "--out", exported, "BASS"}), SyxExit::Success);
    const FileBytes written = ReadWholeFile(exported);
    const BankFileContents contents = ParseBankFile(written.bytes, exported);
    ASSERT_EQ(contents.records.size(), 2u);
    EXPECT_EQ(contents.records[0].slot, 0);
    EXPECT_EQ(GetSoundName(contents.records[1].record), "Fat Bass        ");
    EXPECT_EQ(Run({"catalogue", "export", "--out", Path("none.syx"), "flute"}), SyxExit::Problems);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("none.syx"))));
}

TEST_F(CatalogueCommandsTest, WrongWordsAndUnusableCataloguesFail) {
    sound_builder::WriteFile(Path("catalogue.sqlite"), std::vector<std::uint8_t>(2048, 1));
    const std::vector<std::vector<std::string>> failing = {
        {"catalogue", "find", "x"},                        // the catalogue is damaged
        {"catalogue", "import"},                           // nothing to import
        {"catalogue", "find", "--category", "synth", "x"}, // no such category
        {"catalogue", "export", "x"},                      // no --out
        {"catalogue", "sort", "x"},
    };
    for (const auto& args : failing) {
        EXPECT_EQ(Run(args), SyxExit::Failure) << args[1];
        EXPECT_FALSE(err.str().empty()) << args[1];
    }
    EXPECT_THAT(err.str(), HasSubstr("unknown catalogue command"));
}

} // namespace
