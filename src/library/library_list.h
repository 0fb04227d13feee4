#pragma once

#include <QAbstractTableModel>
#include <QItemSelectionModel>

#include <string>
#include <vector>

class TSoundLibrary;

// The rows of the library list. Each row keeps the texts it was last given, so
// a refresh can tell which rows are stale; row s always shows slot s.
class LibraryList : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { IndexColumn, NameColumn, StatusColumn, ColumnCount };

    explicit LibraryList(TSoundLibrary& library, QObject* parent = nullptr);

    QItemSelectionModel* selectionModel() { return &selection_; }

    // Rebuilds every row from the library and selects the slots last collected.
    void RebuildList();
    // Rewrites the rows whose shown name is stale (unless selectionOnly), then
    // restores the selection last collected.
    void RefreshChangedRows(bool selectionOnly);
    // Rewrites the name and status of one row.
    void RefreshRow(int slot);
    // Stores the selected rows, ascending, in the library's selection.
    void CollectSelection();

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
    struct RowTexts {
        std::string name; // the name bytes as shown
        bool changed = false;
    };

    RowTexts TextsOf(int slot) const;
    void SelectCollectedSlots();

    TSoundLibrary& library_;
    QItemSelectionModel selection_;
    std::vector<RowTexts> rows_;
};
