#pragma once

#include <QPlainTextEdit>

// The message panel's memo: one line per report, at most 1000 lines (the
// oldest goes first); a double click clears it. Long lines wrap, and the
// newest line stays in view unless the user has scrolled up to read.
class MessageMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int MaxLines = 1000;

    explicit MessageMemo(QWidget* parent = nullptr);

    void LogMessage(const QString& text);
    int LineCount() const;
    QStringList Lines() const;

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    bool followNewest_ = true;
};
