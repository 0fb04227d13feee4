#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QUrl;

// The pages of the program's user guide, installed with it and opened in the
// system's browser from the Help menu.
enum class HelpPage { WebPage, HowToUse1, HowToUse2, FavoriteSounds };

// The page's file name inside the guide folder, such as "index.html".
QString HelpPageFile(HelpPage page);

// The guide folders in the order they are searched: next to the program, the
// shared data folder of an installation, the source tree of a build.
QStringList HelpPageFolders();

// The absolute path of the page in the first folder that holds it; empty when
// none does.
QString FindHelpPage(HelpPage page);
QString FindHelpPage(HelpPage page, const QStringList& folders);

using HelpLog = std::function<void(const QString&)>;
using UrlOpener = std::function<bool(const QUrl&)>;

// Opens the page in the system's browser. A missing page or a browser that
// cannot be started becomes one line through log; returns whether the page
// was handed to the browser.
bool OpenHelpPage(HelpPage page, const HelpLog& log);
// The same with other folders and another way of opening a page.
bool OpenHelpPage(HelpPage page, const QStringList& folders, const UrlOpener& open,
                  const HelpLog& log);
