#include "find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FindBar::FindBar(QWidget* parent) : QWidget(parent), edit_(new QLineEdit), status_(new QLabel) {
    setObjectName(QStringLiteral("pnlFind"));
    auto* label = new QLabel(QStringLiteral("Find:"));
    edit_->setObjectName(QStringLiteral("edtFind"));
    edit_->setAccessibleName(QStringLiteral("Find sound name"));
    edit_->installEventFilter(this);
    label->setBuddy(edit_);
    status_->setObjectName(QStringLiteral("lblFindStatus"));
    auto* selectAll = new QPushButton(QStringLiteral("Select All Matches"));
    selectAll->setObjectName(QStringLiteral("btnSelectAllMatches"));
    auto* close = new QPushButton(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("btnCloseFind"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(label);
    layout->addWidget(edit_, 1);
    layout->addWidget(status_);
    layout->addWidget(selectAll);
    layout->addWidget(close);
    connect(edit_, &QLineEdit::textChanged, this, &FindBar::TextChanged);
    connect(selectAll, &QPushButton::clicked, this, &FindBar::SelectAllMatchesClicked);
    connect(close, &QPushButton::clicked, this, &FindBar::Close);
    hide();
}

QString FindBar::Text() const {
    return edit_->text();
}

void FindBar::Open() {
    show();
    edit_->setFocus();
    edit_->selectAll();
}

void FindBar::Close() {
    hide();
    Q_EMIT Closed();
}

void FindBar::SetStatus(const QString& text) {
    status_->setText(text);
}

QString FindBar::Status() const {
    return status_->text();
}

bool FindBar::TypingText() const {
    return isVisible() && edit_->hasFocus();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edit_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        Close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
