#include "dialog_layout.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

QPushButton* LayOutWithOkButton(QDialog& dialog, QWidget& content, QPushButton** cancel) {
    auto* ok = new QPushButton(QStringLiteral("&Ok"));
    ok->setObjectName(QStringLiteral("Button1"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);

    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(&content);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    if (cancel) {
        *cancel = new QPushButton(QStringLiteral("Cancel"));
        (*cancel)->setObjectName(QStringLiteral("Button2"));
        QObject::connect(*cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
        buttons->addWidget(*cancel);
    }
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    return ok;
}
