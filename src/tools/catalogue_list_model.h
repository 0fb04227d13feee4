#pragma once

#include "sound_catalogue.h"

#include <QAbstractTableModel>

#include <functional>
#include <unordered_map>
#include <vector>

// The sounds a search found, for the catalogue window's list. It holds only
// their ids; a row's name, category, tags and sources are read from the
// catalogue when the list shows that row, so a list of 100,000 sounds opens
// and scrolls as fast as one of ten.
class CatalogueListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        FavouriteColumn,
        NameColumn,
        CategoryColumn,
        TagsColumn,
        SourcesColumn,
        ColumnCount
    };

    // `reportError` hears why a change could not be written.
    CatalogueListModel(SoundCatalogue& catalogue, std::function<void(const QString&)> reportError,
                       QObject* parent = nullptr);

    void SetSounds(std::vector<SoundId> ids);
    const std::vector<SoundId>& Sounds() const { return ids_; }
    SoundId SoundAt(int row) const { return ids_.at(static_cast<std::size_t>(row)); }
    // The row's summary, read when first needed.
    const SoundSummary* SummaryAt(int row) const;
    void SetCategory(int row, SoundCategory category);
    void SetFavourite(int row, bool favourite);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The favourite box and the tags are changed in place.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    // Dragged rows carry their sounds' records, in row order.
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    // Runs a change to the catalogue and shows the row again; a failure is reported.
    void Change(int row, const std::function<void(SoundId)>& change);

    SoundCatalogue& catalogue_;
    std::function<void(const QString&)> reportError_;
    std::vector<SoundId> ids_;
    // Summaries of the rows shown lately; emptied when it grows past a few screens.
    mutable std::unordered_map<SoundId, SoundSummary> shown_;
};

// "bank.syx A001, Library B003": the sources' file names and slots.
QString SourcesText(const SoundSummary& summary);
