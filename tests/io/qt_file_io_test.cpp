#include "qt_file_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

class QtFileIoTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_F(QtFileIoTest, WrittenBytesReadBackUnchanged) {
    const QByteArray bytes("\xF0\x01\x25\x00\xF7\x80\xFF", 7);
    const QString path = Path("Caf\u00e9 bank.syx");
    EXPECT_EQ(WriteWholeFile(path, bytes), QString());
    QByteArray read;
    EXPECT_EQ(ReadWholeFile(path, read), QString());
    EXPECT_EQ(read, bytes);
}

// A pipe or device is refused at once: opening a pipe without a writer would
// wait for one, and a device may never end.
TEST_F(QtFileIoTest, OnlyRegularFilesAreRead) {
    const QString pipe = Path("pipe.syx");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    struct Case {
        QString path;
        QString expected;
    };
    const Case cases[] = {
        {pipe, "Cannot read " + QDir::toNativeSeparators(pipe) + ": not a regular file"},
        {"/dev/zero", "Cannot read /dev/zero: not a regular file"},
        {dir.path(),
         "Cannot read " + QDir::toNativeSeparators(dir.path()) + ": not a regular file"},
        {Path("missing.syx"),
         "Cannot read " + QDir::toNativeSeparators(Path("missing.syx")) + ": no such file"},
    };
    for (const Case& c : cases) {
        QByteArray bytes("left alone");
        EXPECT_EQ(ReadWholeFile(c.path, bytes), c.expected);
        EXPECT_EQ(bytes, "left alone");
    }
}

TEST_F(QtFileIoTest, AFailedWriteSaysWhyAndNamesTheFile) {
    const QString folder = Path("folder.syx");
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_EQ(WriteWholeFile(folder, "x"),
              "Cannot write " + QDir::toNativeSeparators(folder) + ": it is a folder");
}

} // namespace
