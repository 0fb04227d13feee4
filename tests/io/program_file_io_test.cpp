#include "program_file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class ProgramFileIoTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_F(ProgramFileIoTest, WrittenBytesReadBackUnchanged) {
    const QByteArray bytes("\xF0\x01\x25\x00\xF7\x80\xFF", 7);
    const QString path = Path("Caf\u00e9 bank.syx");
    EXPECT_EQ(WriteWholeFile(path, bytes), QString());
    QByteArray read;
    EXPECT_EQ(ReadWholeFile(path, read), QString());
    EXPECT_EQ(read, bytes);
}

// A pipe or device is refused at once: opening a pipe without a writer would
// wait for one, and a device may never end.
TEST_F(ProgramFileIoTest, OnlyRegularFilesAreRead) {
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

TEST_F(ProgramFileIoTest, AFailedWriteSaysWhyAndNamesTheFile) {
    const QString folder = Path("folder.syx");
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_EQ(WriteWholeFile(folder, "x"),
              "Cannot write " + QDir::toNativeSeparators(folder) + ": it is a folder");
}

// The program's files are replaced, never written into: a pipe (here with a
// reader, so a write would not even wait) or a device is left alone.
TEST_F(ProgramFileIoTest, OnlyRegularFilesAreWritten) {
    const QString pipe = Path("dsi_mopho.ini");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const int reader = ::open(QFile::encodeName(pipe).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    const QString link = Path("link.syx");
    ASSERT_TRUE(QFile::link(pipe, link));
    for (const QString& path : {pipe, link, QStringLiteral("/dev/null")})
        EXPECT_EQ(WriteWholeFile(path, "[Globals]\n"),
                  "Cannot write " + QDir::toNativeSeparators(path) + ": not a regular file");
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0) << "nothing reached the pipe";
    ::close(reader);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

} // namespace
