#include "catalogue_list_model.h"

#include "sound_drag.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>

#include <algorithm>
#include <set>

namespace {
constexpr std::size_t ShownLimit = 2000;

// The file's name; with its folder's name too when another source of the
// sound has a file of that name in another folder.
QString ShortFileName(const QString& file, const SoundSummary& summary) {
    const QFileInfo info(file);
    for (const SoundSource& other : summary.sources) {
        const QString path = QString::fromStdString(other.file);
        if (path != file && QFileInfo(path).fileName() == info.fileName())
            return info.dir().dirName() + QLatin1Char('/') + info.fileName();
    }
    return info.fileName().isEmpty() ? file : info.fileName();
}

QString SourceText(const SoundSource& source, const SoundSummary* shortFor) {
    const QString file = QString::fromStdString(source.file);
    QString text = shortFor ? ShortFileName(file, *shortFor) : file;
    if (Slots::IsValid(source.slot))
        text += QLatin1Char(' ') + QString::fromStdString(Slots::Caption(source.slot));
    return text;
}
} // namespace

QString SourcesText(const SoundSummary& summary) {
    QStringList parts;
    for (const SoundSource& source : summary.sources)
        parts << SourceText(source, &summary);
    return parts.join(QStringLiteral(", "));
}

CatalogueListModel::CatalogueListModel(SoundCatalogue& catalogue,
                                       std::function<void(const QString&)> reportError,
                                       QObject* parent)
    : QAbstractTableModel(parent), catalogue_(catalogue), reportError_(std::move(reportError)) {}

void CatalogueListModel::SetSounds(std::vector<SoundId> ids) {
    beginResetModel();
    ids_ = std::move(ids);
    shown_.clear();
    endResetModel();
}

const SoundSummary* CatalogueListModel::SummaryAt(int row) const {
    if (row < 0 || row >= rowCount())
        return nullptr;
    const SoundId id = SoundAt(row);
    if (const auto found = shown_.find(id); found != shown_.end())
        return &found->second;
    if (shown_.size() >= ShownLimit)
        shown_.clear();
    try {
        const auto summary = catalogue_.Summary(id);
        if (!summary)
            return nullptr;
        return &shown_.emplace(id, *summary).first->second;
    } catch (const std::exception&) {
        return nullptr; // the row shows empty; reading it again may succeed
    }
}

int CatalogueListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(ids_.size());
}

int CatalogueListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CatalogueListModel::data(const QModelIndex& index, int role) const {
    const SoundSummary* summary = SummaryAt(index.row());
    if (!summary)
        return {};
    const int column = index.column();
    if (column == FavouriteColumn && role == Qt::CheckStateRole)
        return summary->favourite ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::ToolTipRole && column == SourcesColumn) {
        QStringList lines;
        for (const SoundSource& source : summary->sources)
            lines << SourceText(source, nullptr) + QStringLiteral(" (") +
                         QString::fromStdString(source.imported) + QStringLiteral(" UTC)");
        return lines.join(QLatin1Char('\n'));
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (column) {
    case NameColumn:
        return QString::fromStdString(NameToUtf8(summary->name));
    case CategoryColumn:
        return QString::fromUtf8(CategoryCaption(summary->category).data(),
                                 static_cast<qsizetype>(CategoryCaption(summary->category).size()));
    case TagsColumn: {
        QStringList tags;
        for (const std::string& tag : summary->tags)
            tags << QString::fromStdString(tag);
        return tags.join(QStringLiteral(", "));
    }
    case SourcesColumn:
        return SourcesText(*summary);
    default:
        return {};
    }
}

QVariant CatalogueListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const captions[ColumnCount] = {"\u2605", "Name", "Category", "Tags",
                                                      "Sources"};
    return QString::fromUtf8(captions[section]);
}

Qt::ItemFlags CatalogueListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index) | Qt::ItemIsDragEnabled;
    if (index.column() == FavouriteColumn)
        flags |= Qt::ItemIsUserCheckable;
    if (index.column() == TagsColumn && !catalogue_.ReadOnly())
        flags |= Qt::ItemIsEditable;
    return flags;
}

void CatalogueListModel::Change(int row, const std::function<void(SoundId)>& change) {
    if (row < 0 || row >= rowCount())
        return;
    const SoundId id = SoundAt(row);
    try {
        change(id);
    } catch (const std::exception& failure) {
        reportError_(QString::fromStdString(failure.what()));
    }
    shown_.erase(id);
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void CatalogueListModel::SetCategory(int row, SoundCategory category) {
    Change(row, [&](SoundId id) { catalogue_.SetCategory(id, category); });
}

void CatalogueListModel::SetFavourite(int row, bool favourite) {
    Change(row, [&](SoundId id) { catalogue_.SetFavourite(id, favourite); });
}

bool CatalogueListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (index.column() == FavouriteColumn && role == Qt::CheckStateRole) {
        SetFavourite(index.row(), value.toInt() == Qt::Checked);
        return true;
    }
    if (index.column() == TagsColumn && role == Qt::EditRole) {
        const std::vector<std::string> tags = SplitTags(value.toString().toStdString());
        Change(index.row(), [&](SoundId id) { catalogue_.SetTags(id, tags); });
        return true;
    }
    return false;
}

QStringList CatalogueListModel::mimeTypes() const {
    return {QString::fromLatin1(SoundRecordsMimeType)};
}

QMimeData* CatalogueListModel::mimeData(const QModelIndexList& indexes) const {
    std::set<int> rows;
    for (const QModelIndex& index : indexes)
        rows.insert(index.row());
    std::vector<TSoundRecord> sounds;
    for (const int row : rows) {
        try {
            if (const auto sound = catalogue_.Sound(SoundAt(row)))
                sounds.push_back(*sound);
        } catch (const std::exception& failure) {
            reportError_(QString::fromStdString(failure.what()));
            return nullptr;
        }
    }
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(SoundRecordsMimeType), SoundRecordsData(sounds));
    return data;
}
