#pragma once

#include "sound_library.h"

#include <QAbstractTableModel>
#include <QItemSelectionModel>

#include <vector>

// The rows of the library list, following the library: a row is redrawn when
// its slot changes, and the rows are rebuilt when their number changes. Row s
// always shows slot s.
class LibraryList : public QAbstractTableModel, private LibraryObserver {
    Q_OBJECT
public:
    enum Column { IndexColumn, NameColumn, StatusColumn, ColumnCount };

    explicit LibraryList(TSoundLibrary& library, QObject* parent = nullptr);
    ~LibraryList() override;

    QItemSelectionModel* selectionModel() { return &selection_; }

    // Rebuilds every row from the library and selects the slots last collected.
    void RebuildList();
    // Stores the selected rows, ascending, in the library's selection.
    void CollectSelection();
    // Selects the slots last collected, and no other row.
    void SelectCollectedSlots();

    void SelectSlots(const std::vector<int>& slots);
    void SelectAll();
    // The first selected row, -1 when none is selected.
    int CurrentRow() const;
    // Makes a row the only selected one and the current index.
    void SetCurrentRow(int row);

    QString ShownName(int row) const;
    QString ShownStatus(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void SlotChanged(int slot) override;
    void RowsChanged() override;

    TSoundLibrary& library_;
    QItemSelectionModel selection_;
    int rowCount_ = 0;
};
