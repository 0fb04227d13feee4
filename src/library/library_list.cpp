#include "library_list.h"

#include "sound_library.h"

LibraryList::LibraryList(TSoundLibrary& library, QObject* parent)
    : QAbstractTableModel(parent), library_(library), selection_(this) {}

LibraryList::RowTexts LibraryList::TextsOf(int slot) const {
    return {library_.GetSoundName(slot), library_.IsChanged(slot)};
}

void LibraryList::RebuildList() {
    beginResetModel();
    rows_.clear();
    rows_.reserve(static_cast<std::size_t>(library_.SlotCount));
    for (int slot = 0; slot < library_.SlotCount; ++slot)
        rows_.push_back(TextsOf(slot));
    endResetModel();
    SelectCollectedSlots();
}

void LibraryList::RefreshChangedRows(bool selectionOnly) {
    if (!selectionOnly) {
        for (int row = 0; row < rowCount(); ++row) {
            auto& shown = rows_[static_cast<std::size_t>(row)];
            if (shown.name == library_.GetSoundName(row))
                continue; // an unchanged name keeps its status text too
            shown = TextsOf(row);
            Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
        }
    }
    SelectCollectedSlots();
}

void LibraryList::RefreshRow(int slot) {
    if (slot < 0 || slot >= rowCount())
        return;
    rows_[static_cast<std::size_t>(slot)] = TextsOf(slot);
    Q_EMIT dataChanged(index(slot, NameColumn), index(slot, StatusColumn));
}

void LibraryList::CollectSelection() {
    library_.SelectedCount = 0;
    for (int row = 0; row < rowCount(); ++row)
        if (selection_.isRowSelected(row))
            library_.SelectedSlots[static_cast<std::size_t>(library_.SelectedCount++)] = row;
}

void LibraryList::SelectCollectedSlots() {
    std::vector<int> slots(library_.SelectedSlots.begin(),
                           library_.SelectedSlots.begin() + library_.SelectedCount);
    SelectSlots(slots);
}

void LibraryList::SelectSlots(const std::vector<int>& slots) {
    QItemSelection wanted;
    for (int slot : slots)
        if (slot >= 0 && slot < rowCount())
            wanted.select(index(slot, 0), index(slot, ColumnCount - 1));
    selection_.select(wanted, QItemSelectionModel::ClearAndSelect);
}

void LibraryList::SelectAll() {
    if (rowCount() == 0)
        return;
    selection_.select(QItemSelection(index(0, 0), index(rowCount() - 1, ColumnCount - 1)),
                      QItemSelectionModel::ClearAndSelect);
}

int LibraryList::CurrentRow() const {
    for (int row = 0; row < rowCount(); ++row)
        if (selection_.isRowSelected(row))
            return row;
    return -1;
}

void LibraryList::SetCurrentRow(int row) {
    if (row < 0 || row >= rowCount())
        return;
    selection_.setCurrentIndex(index(row, 0),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QString LibraryList::ShownName(int row) const {
    return QString::fromStdString(NameToUtf8(rows_.at(static_cast<std::size_t>(row)).name));
}

QString LibraryList::ShownStatus(int row) const {
    return rows_.at(static_cast<std::size_t>(row)).changed ? QStringLiteral("Changed") : QString();
}

int LibraryList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int LibraryList::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant LibraryList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return {};
    switch (index.column()) {
    case IndexColumn:
        return QString::fromStdString(Slots::Caption(index.row()));
    case NameColumn:
        return ShownName(index.row());
    case StatusColumn:
        return ShownStatus(index.row());
    default:
        return {};
    }
}

QVariant LibraryList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* const captions[] = {"Index", "Name", "Status"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(captions[section])
                                                 : QVariant();
}

Qt::ItemFlags LibraryList::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
