#include "message_memo.h"

#include <QMouseEvent>
#include <QTextBlock>

MessageMemo::MessageMemo(QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // The document drops its first block whenever a new one exceeds the cap.
    setMaximumBlockCount(MaxLines);
    setPlainText(QStringLiteral("Tonewright"));
}

void MessageMemo::LogMessage(const QString& text) {
    appendPlainText(text);
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
    event->accept();
}
