#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

// The bar above the library list that finds sounds by name: the text, what
// was found, "Select All Matches" and a close button. Escape closes it.
class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    QString Text() const;
    // Shows the bar with its text selected, ready for typing.
    void Open();
    void Close();
    void SetStatus(const QString& text);
    QString Status() const;
    // The text field has the focus: its keys are text, not notes.
    bool TypingText() const;

Q_SIGNALS:
    void TextChanged(const QString& text);
    void SelectAllMatchesClicked();
    void Closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* edit_;
    QLabel* status_;
};
