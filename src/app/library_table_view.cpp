#include "library_table_view.h"

#include "sound_drag.h"
#include <QApplication>

#include <QDrag>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <cstdlib>

LibraryTableView::LibraryTableView(QWidget* parent) : QTableView(parent) {
    // Keeps a multi-row selection when a drag starts on one of its rows.
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);
}

int LibraryTableView::DraggedRow() const {
    if (!model() || !selectionModel())
        return -1;
    for (int row = 0; row < model()->rowCount(); ++row)
        if (selectionModel()->isRowSelected(row, rootIndex()))
            return row;
    return -1;
}

QMimeData* LibraryTableView::CreateRowDragData() const {
    auto* data = new QMimeData;
    // Names this very list, so a drop can tell its own drags from others.
    data->setData(QString::fromLatin1(RowDragFormat),
                  QByteArray::number(reinterpret_cast<quintptr>(this)));
    return data;
}

bool LibraryTableView::IsOwnDrag(const QMimeData* data) const {
    return data && data->data(QString::fromLatin1(RowDragFormat)) ==
                       QByteArray::number(reinterpret_cast<quintptr>(this));
}

void LibraryTableView::mousePressEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    if (event->button() == Qt::RightButton) {
        const int row = rowAt(position.y());
        if (row >= 0)
            Q_EMIT MoveTargetClicked(row);
        event->accept();
        return;
    }
    pressedOnRow_ = event->button() == Qt::LeftButton && indexAt(position).isValid();
    pressPosition_ = position;
    QTableView::mousePressEvent(event);
}

void LibraryTableView::mouseMoveEvent(QMouseEvent* event) {
    if (pressedOnRow_ && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - pressPosition_).manhattanLength() >=
            QApplication::startDragDistance()) {
        pressedOnRow_ = false;
        StartRowDrag();
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void LibraryTableView::mouseReleaseEvent(QMouseEvent* event) {
    pressedOnRow_ = false;
    QTableView::mouseReleaseEvent(event);
}

void LibraryTableView::StartRowDrag() {
    if (DraggedRow() < 0)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(CreateRowDragData());
    drag->exec(Qt::MoveAction);
    stopAutoScroll();
    setState(NoState);
}

bool LibraryTableView::IsSoundsDrag(const QMimeData* data) {
    return data && data->hasFormat(QString::fromLatin1(SoundRecordsMimeType));
}

void LibraryTableView::dragEnterEvent(QDragEnterEvent* event) {
    if (!IsOwnDrag(event->mimeData()) && !IsSoundsDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    setState(DraggingState);
    event->setDropAction(IsOwnDrag(event->mimeData()) ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
}

void LibraryTableView::dragMoveEvent(QDragMoveEvent* event) {
    if (!IsOwnDrag(event->mimeData()) && !IsSoundsDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    // The base class scrolls the list near its edges; it would refuse the
    // drop, because the rows themselves take no data.
    QTableView::dragMoveEvent(event);
    event->setDropAction(IsOwnDrag(event->mimeData()) ? Qt::MoveAction : Qt::CopyAction);
    event->accept();
}

void LibraryTableView::dropEvent(QDropEvent* event) {
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
    const int target = rowAt(event->position().toPoint().y());
    if (IsSoundsDrag(event->mimeData()) && target >= 0) {
        const auto sounds = SoundRecordsFromData(
            event->mimeData()->data(QString::fromLatin1(SoundRecordsMimeType)));
        event->setDropAction(Qt::CopyAction);
        event->accept();
        Q_EMIT SoundsDropped(sounds, target);
        return;
    }
    if (!IsOwnDrag(event->mimeData())) {
        event->ignore();
        return;
    }
    const int dragged = DraggedRow();
    if (target < 0 || dragged < 0) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    Q_EMIT SoundDropped(dragged, target);
}

int TableViewport::RowHeight() const {
    const int height = view_.verticalHeader()->defaultSectionSize();
    return std::max(height, 1);
}

int TableViewport::TopVisibleRow() const {
    return std::max(view_.rowAt(0), 0);
}

int TableViewport::VisibleRowCount() const {
    return view_.viewport()->height() / RowHeight();
}

void TableViewport::ScrollByPixels(int dy) {
    QScrollBar* bar = view_.verticalScrollBar();
    if (view_.verticalScrollMode() == QAbstractItemView::ScrollPerPixel) {
        bar->setValue(bar->value() + dy);
        return;
    }
    if (dy == 0)
        return;
    const int rows = std::max(1, static_cast<int>(std::lround(std::abs(dy) / double(RowHeight()))));
    bar->setValue(bar->value() + (dy < 0 ? -rows : rows));
}

void TableViewport::ProcessPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
