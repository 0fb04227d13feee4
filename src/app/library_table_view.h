#pragma once

#include "sound_record.h"
#include "sound_reorderer.h"

#include <QPoint>
#include <QTableView>

#include <vector>

class QMimeData;

// The library list on screen. A left-button drag from a row carries the
// selection's first row to another row of this same list; sounds dragged
// from the sound catalogue are taken too; other drags are refused. A right-button press names a row
// to move the selection to and leaves the selection alone.
class LibraryTableView : public QTableView {
    Q_OBJECT
public:
    static constexpr const char* RowDragFormat = "application/x-tonewright-library-row";

    explicit LibraryTableView(QWidget* parent = nullptr);

    // The first selected row, -1 when no row is selected.
    int DraggedRow() const;
    // What a drag started from this list carries.
    QMimeData* CreateRowDragData() const;

Q_SIGNALS:
    // A sound was dropped: draggedRow is the list's current row, targetRow the
    // row under the drop point.
    void SoundDropped(int draggedRow, int targetRow);
    // Sounds from another window were dropped on `targetRow`.
    void SoundsDropped(const std::vector<TSoundRecord>& sounds, int targetRow);
    // The right button was pressed on a row.
    void MoveTargetClicked(int row);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool IsOwnDrag(const QMimeData* data) const;
    static bool IsSoundsDrag(const QMimeData* data);
    void StartRowDrag();

    // Where a left press landed on a row; a move far enough from it starts a drag.
    QPoint pressPosition_;
    bool pressedOnRow_ = false;
};

// The scroll position of a table view, for moves started by the user.
class TableViewport : public ListViewport {
public:
    explicit TableViewport(QTableView& view) : view_(view) {}

    int TopVisibleRow() const override;
    int VisibleRowCount() const override;
    // A view that scrolls by whole rows moves by the nearest whole number of
    // rows, at least one.
    void ScrollByPixels(int dy) override;
    // Repaints and timers only; clicks and keys wait until the move is done.
    void ProcessPendingEvents() override;

private:
    int RowHeight() const;

    QTableView& view_;
};
