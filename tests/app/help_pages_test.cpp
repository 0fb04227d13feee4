#include "help_pages.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <array>

namespace {

constexpr std::array AllPages{HelpPage::WebPage, HelpPage::HowToUse1, HelpPage::HowToUse2,
                              HelpPage::FavoriteSounds};

const QString SourceGuide = QString::fromUtf8(GUIDE_SOURCE_DIR);

QString ReadText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

QStringList Captures(const QString& text, const QRegularExpression& pattern) {
    QStringList found;
    for (auto it = pattern.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        found << (match.captured(1).isNull() ? match.captured(2) : match.captured(1));
    }
    return found;
}

// Every href and src of a page, and every picture of a srcset, as written.
QStringList LinksOf(const QString& html) {
    static const QRegularExpression pattern(
        QStringLiteral(R"re(\b(?:href|src)\s*=\s*(?:"([^"]*)"|'([^']*)'))re"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression sourceSets(
        QStringLiteral(R"re(\bsrcset\s*=\s*(?:"([^"]*)"|'([^']*)'))re"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList links = Captures(html, pattern);
    for (const QString& set : Captures(html, sourceSets))
        for (const QString& candidate : set.split(QLatin1Char(',')))
            links << candidate.trimmed().section(QLatin1Char(' '), 0, 0);
    return links;
}

// The files of the guide, pictures included, relative to its folder.
QStringList GuideFiles() {
    QStringList files;
    QDirIterator it(SourceGuide, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(SourceGuide).relativeFilePath(it.next());
    return files;
}

QSet<QString> IdsOf(const QString& html) {
    static const QRegularExpression pattern(
        QStringLiteral(R"re(\bid\s*=\s*(?:"([^"]*)"|'([^']*)'))re"));
    const QStringList ids = Captures(html, pattern);
    return {ids.begin(), ids.end()};
}

QStringList GuidePages() {
    return QDir(SourceGuide).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

struct OpenRecorder {
    bool succeed = true;
    QList<QUrl> opened;
    QStringList lines;

    UrlOpener Opener() {
        return [this](const QUrl& url) {
            opened << url;
            return succeed;
        };
    }
    HelpLog Log() {
        return [this](const QString& line) { lines << line; };
    }
};

void WritePage(const QString& folder, HelpPage page) {
    QFile file(QDir(folder).filePath(HelpPageFile(page)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<!DOCTYPE html>");
}

} // namespace

TEST(HelpPages, EveryPageIsFoundUnderItsOwnFileName) {
    QSet<QString> files;
    for (HelpPage page : AllPages) {
        const QString file = HelpPageFile(page);
        EXPECT_TRUE(file.endsWith(QStringLiteral(".html"))) << file.toStdString();
        files << file;
        const QString path = FindHelpPage(page);
        ASSERT_FALSE(path.isEmpty()) << file.toStdString();
        EXPECT_TRUE(QFileInfo(path).isAbsolute());
        EXPECT_TRUE(QFileInfo(path).isFile());
        EXPECT_EQ(QFileInfo(path).fileName(), file);
    }
    EXPECT_EQ(files.size(), static_cast<qsizetype>(AllPages.size()));
}

TEST(HelpPages, TheBuildPutsAnUpToDateCopyNextToTheProgram) {
    const QString copy = QString::fromUtf8(GUIDE_PROGRAM_COPY);
    const QStringList files = GuideFiles();
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        QFile source(QDir(SourceGuide).filePath(file));
        QFile copied(QDir(copy).filePath(file));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        ASSERT_TRUE(copied.open(QIODevice::ReadOnly)) << copied.fileName().toStdString();
        EXPECT_EQ(source.readAll(), copied.readAll()) << file.toStdString();
    }
    for (HelpPage page : AllPages)
        EXPECT_FALSE(FindHelpPage(page, {copy}).isEmpty());
}

TEST(HelpPages, FoldersAreSearchedNextToTheProgramThenInTheInstallationThenInTheSources) {
    const QDir program(QCoreApplication::applicationDirPath());
    const QStringList folders = HelpPageFolders();
    ASSERT_EQ(folders.size(), 3);
    EXPECT_EQ(folders[0], program.filePath(QStringLiteral("guide")));
    EXPECT_EQ(folders[1],
              QDir::cleanPath(program.filePath(QStringLiteral("../share/tonewright/guide"))));
    EXPECT_EQ(folders[2], SourceGuide);

    QTemporaryDir first;
    QTemporaryDir second;
    WritePage(second.path(), HelpPage::HowToUse2);
    EXPECT_EQ(FindHelpPage(HelpPage::HowToUse2, {first.path(), second.path()}),
              QDir(second.path()).filePath(QStringLiteral("how-to-use-2.html")));
    WritePage(first.path(), HelpPage::HowToUse2);
    EXPECT_EQ(FindHelpPage(HelpPage::HowToUse2, {first.path(), second.path()}),
              QDir(first.path()).filePath(QStringLiteral("how-to-use-2.html")));
    // A folder that only carries the page's name is no page.
    ASSERT_TRUE(QDir(first.path()).mkdir(HelpPageFile(HelpPage::WebPage)));
    EXPECT_TRUE(FindHelpPage(HelpPage::WebPage, {first.path()}).isEmpty());
}

TEST(HelpPages, EveryLinkLeadsToAFileAndAnchorOfTheGuide) {
    const QStringList pages = GuidePages();
    ASSERT_GE(pages.size(), 4);
    const QDir guide(SourceGuide);
    for (const QString& page : pages) {
        const QString html = ReadText(guide.filePath(page));
        ASSERT_FALSE(html.isEmpty()) << page.toStdString();
        const QStringList links = LinksOf(html);
        EXPECT_FALSE(links.isEmpty()) << page.toStdString();
        for (const QString& link : links) {
            const std::string where = page.toStdString() + ": " + link.toStdString();
            ASSERT_FALSE(link.isEmpty()) << where;
            ASSERT_TRUE(QUrl(link).isRelative()) << where;
            ASSERT_FALSE(link.startsWith(QStringLiteral("//"))) << where;
            const qsizetype hash = link.indexOf(QLatin1Char('#'));
            const QString file = hash < 0 ? link : link.left(hash);
            const QString anchor = hash < 0 ? QString() : link.mid(hash + 1);
            const QString target = file.isEmpty() ? page : file;
            // Only files of the guide folder and its pictures: it is copied and installed
            // as it is.
            const QString folder = QFileInfo(target).path();
            ASSERT_TRUE(folder == QStringLiteral(".") || folder == QStringLiteral("pictures"))
                << where;
            ASSERT_TRUE(QFileInfo(guide.filePath(target)).isFile()) << where;
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(IdsOf(ReadText(guide.filePath(target))).contains(anchor)) << where;
            }
        }
    }
}

TEST(HelpPages, NoPageOrStyleReachesForAnotherHost) {
    const QDir guide(SourceGuide);
    for (const QString& file : guide.entryList(QDir::Files)) {
        const QString text = ReadText(guide.filePath(file));
        for (const char* outside : {"http:", "https:", "//www.", "ftp:", "@import"})
            EXPECT_FALSE(text.contains(QLatin1String(outside), Qt::CaseInsensitive))
                << file.toStdString() << " mentions " << outside;
        for (const QString& link : LinksOf(text))
            EXPECT_FALSE(link.contains(QStringLiteral("http"), Qt::CaseInsensitive))
                << file.toStdString() << ": " << link.toStdString();
    }
}

TEST(HelpPages, EveryPageLinksToAllTheOthers) {
    const QDir guide(SourceGuide);
    for (HelpPage from : AllPages) {
        const QStringList links = LinksOf(ReadText(guide.filePath(HelpPageFile(from))));
        for (HelpPage to : AllPages)
            EXPECT_TRUE(links.contains(HelpPageFile(to)))
                << HelpPageFile(from).toStdString() << " -> " << HelpPageFile(to).toStdString();
    }
}

TEST(HelpPages, OpeningHandsTheBrowserTheInstalledFile) {
    OpenRecorder recorder;
    EXPECT_TRUE(
        OpenHelpPage(HelpPage::FavoriteSounds, {SourceGuide}, recorder.Opener(), recorder.Log()));
    ASSERT_EQ(recorder.opened.size(), 1);
    EXPECT_TRUE(recorder.opened[0].isLocalFile());
    EXPECT_EQ(recorder.opened[0].toLocalFile(),
              QDir(SourceGuide).filePath(QStringLiteral("favorite-sounds.html")));
    EXPECT_TRUE(recorder.lines.isEmpty());
}

TEST(HelpPages, AMissingPageIsOneLineNamingThePageAndTheFolders) {
    QTemporaryDir empty;
    const QString elsewhere = QDir(empty.path()).filePath(QStringLiteral("share"));
    OpenRecorder recorder;
    EXPECT_FALSE(OpenHelpPage(HelpPage::HowToUse1, {empty.path(), elsewhere}, recorder.Opener(),
                              recorder.Log()));
    EXPECT_TRUE(recorder.opened.isEmpty());
    ASSERT_EQ(recorder.lines.size(), 1);
    const QString line = recorder.lines[0];
    EXPECT_FALSE(line.contains(QLatin1Char('\n')));
    EXPECT_TRUE(line.startsWith(QStringLiteral("Cannot open the user guide:")));
    EXPECT_TRUE(line.contains(QStringLiteral("how-to-use-1.html")));
    EXPECT_TRUE(line.contains(QDir::toNativeSeparators(empty.path())));
    EXPECT_TRUE(line.contains(QDir::toNativeSeparators(elsewhere)));
    // Without a log the failure is still a plain false.
    EXPECT_FALSE(OpenHelpPage(HelpPage::HowToUse1, {empty.path()}, recorder.Opener(), {}));
}

TEST(HelpPages, ABrowserThatCannotStartIsOneLineNamingTheFile) {
    OpenRecorder recorder;
    recorder.succeed = false;
    EXPECT_FALSE(OpenHelpPage(HelpPage::WebPage, {SourceGuide}, recorder.Opener(), recorder.Log()));
    EXPECT_EQ(recorder.opened.size(), 1);
    ASSERT_EQ(recorder.lines.size(), 1);
    EXPECT_TRUE(recorder.lines[0].contains(QStringLiteral("web browser")));
    EXPECT_TRUE(recorder.lines[0].contains(
        QDir::toNativeSeparators(QDir(SourceGuide).filePath(QStringLiteral("index.html")))));
}
