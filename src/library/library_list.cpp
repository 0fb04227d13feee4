#include "library_list.h"

#include "sound_library.h"

LibraryList::LibraryList(TSoundLibrary& library, QObject* parent)
    : QAbstractTableModel(parent), library_(library), selection_(this) {
    library_.AddObserver(*this);
}

LibraryList::~LibraryList() {
    library_.RemoveObserver(*this);
}

void LibraryList::RebuildList() {
    beginResetModel();
    rowCount_ = library_.SlotCount();
    endResetModel();
    SelectCollectedSlots();
}

void LibraryList::RowsChanged() {
    RebuildList();
}

void LibraryList::SlotChanged(int slot) {
    if (slot < 0 || slot >= rowCount())
        return;
    Q_EMIT dataChanged(index(slot, NameColumn), index(slot, StatusColumn));
}

void LibraryList::CollectSelection() {
    std::vector<int> slots;
    for (int row = 0; row < rowCount(); ++row)
        if (selection_.isRowSelected(row))
            slots.push_back(row);
    library_.SetSelection(std::move(slots));
}

void LibraryList::SelectCollectedSlots() {
    SelectSlots(library_.SelectedSlots());
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
    return QString::fromStdString(NameToUtf8(library_.GetSoundName(row)));
}

QString LibraryList::ShownStatus(int row) const {
    return library_.IsChanged(row) ? QStringLiteral("Changed") : QString();
}

int LibraryList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowCount_;
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
