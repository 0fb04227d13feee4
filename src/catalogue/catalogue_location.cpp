#include "catalogue_location.h"

#include <QDir>
#include <QStandardPaths>

std::string DefaultCataloguePath() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return QDir(folder).filePath(QStringLiteral("catalogue.sqlite")).toStdString();
}
