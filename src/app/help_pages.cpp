#include "help_pages.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

QString HelpPageFile(HelpPage page) {
    switch (page) {
    case HelpPage::WebPage:
        return QStringLiteral("index.html");
    case HelpPage::HowToUse1:
        return QStringLiteral("how-to-use-1.html");
    case HelpPage::HowToUse2:
        return QStringLiteral("how-to-use-2.html");
    case HelpPage::FavoriteSounds:
        return QStringLiteral("favorite-sounds.html");
    }
    return {};
}

QStringList HelpPageFolders() {
    const QDir program(QCoreApplication::applicationDirPath());
    QStringList folders{
        program.filePath(QStringLiteral("guide")),
        QDir::cleanPath(program.filePath(QStringLiteral("../share/tonewright/guide"))),
    };
#ifdef TONEWRIGHT_GUIDE_SOURCE_DIR
    // A program run from its build tree before the copy is made, and the tests.
    folders << QString::fromUtf8(TONEWRIGHT_GUIDE_SOURCE_DIR);
#endif
    return folders;
}

QString FindHelpPage(HelpPage page) {
    return FindHelpPage(page, HelpPageFolders());
}

QString FindHelpPage(HelpPage page, const QStringList& folders) {
    const QString file = HelpPageFile(page);
    for (const QString& folder : folders) {
        const QFileInfo candidate(QDir(folder), file);
        if (candidate.isFile())
            return QDir::cleanPath(candidate.absoluteFilePath());
    }
    return {};
}

bool OpenHelpPage(HelpPage page, const HelpLog& log) {
    return OpenHelpPage(page, HelpPageFolders(), &QDesktopServices::openUrl, log);
}

bool OpenHelpPage(HelpPage page, const QStringList& folders, const UrlOpener& open,
                  const HelpLog& log) {
    const QString path = FindHelpPage(page, folders);
    if (path.isEmpty()) {
        QStringList shown;
        for (const QString& folder : folders)
            shown << QDir::toNativeSeparators(folder);
        if (log)
            log(QStringLiteral("Cannot open the user guide: %1 is in none of these folders: %2")
                    .arg(HelpPageFile(page), shown.join(QStringLiteral(", "))));
        return false;
    }
    if (!open(QUrl::fromLocalFile(path))) {
        if (log)
            log(QStringLiteral("Cannot open the user guide: no web browser could be started for %1")
                    .arg(QDir::toNativeSeparators(path)));
        return false;
    }
    return true;
}
