#include "message_memo.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>

MessageMemo::MessageMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Only the user's own scrolling decides whether the memo follows: the
    // scroll bar's range also changes when lines are added or the memo resized.
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                followNewest_ = verticalScrollBar()->value() >= verticalScrollBar()->maximum();
            },
            Qt::QueuedConnection);
    });
    // Lines are laid out lazily and again on a resize: the range grows after
    // LogMessage returns, and a memo that follows the newest line follows it.
    connect(verticalScrollBar(), &QAbstractSlider::rangeChanged, this, [this](int, int maximum) {
        if (followNewest_)
            verticalScrollBar()->setValue(maximum);
    });
    // The document drops its first block whenever a new one exceeds the cap.
    setMaximumBlockCount(MaxLines);
    setPlainText(QStringLiteral("Tonewright"));
}

void MessageMemo::LogMessage(const QString& text) {
    appendPlainText(text);
    if (followNewest_)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

int MessageMemo::LineCount() const {
    return document()->isEmpty() ? 0 : document()->blockCount();
}

QStringList MessageMemo::Lines() const {
    QStringList lines;
    if (document()->isEmpty())
        return lines;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    return lines;
}

void MessageMemo::mouseDoubleClickEvent(QMouseEvent* event) {
    clear();
    followNewest_ = true;
    event->accept();
}
