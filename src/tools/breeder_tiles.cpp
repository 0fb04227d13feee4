#include "breeder_tiles.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

namespace {
const QString EmptyStar = QStringLiteral("\u2606");
const QString FullStar = QStringLiteral("\u2605");
} // namespace

BreederTiles::BreederTiles(std::function<void(int)> onTile, std::function<void(int)> onStar,
                           QWidget* parent)
    : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(6);
    for (int i = 0; i < Count; ++i) {
        auto* tile = new QPushButton;
        tile->setObjectName(QStringLiteral("btnChild%1").arg(i + 1));
        tile->setCheckable(true);
        tile->setAutoDefault(false);
        tile->setMinimumSize(150, 52);
        tile->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        tile->setStyleSheet(QStringLiteral("QPushButton { text-align: left; padding: 4px 8px; }"
                                           "QPushButton:checked { background: #2f6fb0; color: "
                                           "white; }"));
        connect(tile, &QPushButton::clicked, this, [onTile, i] { onTile(i); });
        auto* star = new QToolButton;
        star->setObjectName(QStringLiteral("btnStar%1").arg(i + 1));
        star->setCheckable(true);
        star->setAutoRaise(true);
        QFont starFont = star->font();
        starFont.setPointSizeF(starFont.pointSizeF() * 1.5);
        star->setFont(starFont);
        star->setText(EmptyStar);
        star->setToolTip(QStringLiteral("Like this child: Breed breeds from liked children"));
        star->setAccessibleName(QStringLiteral("Like child %1").arg(i + 1));
        connect(star, &QToolButton::clicked, this, [onStar, i] { onStar(i); });
        tiles_[static_cast<std::size_t>(i)] = tile;
        stars_[static_cast<std::size_t>(i)] = star;
        auto* cell = new QHBoxLayout;
        cell->setSpacing(0);
        cell->addWidget(tile, 1);
        cell->addWidget(star);
        grid->addLayout(cell, i / Columns, i % Columns);
    }
}

QString BreederTiles::Number(int index) {
    return index < 10 ? QString::number((index + 1) % 10) : QString::number(index + 1);
}

void BreederTiles::Show(const std::vector<Tile>& tiles, int heard) {
    for (int i = 0; i < Count; ++i) {
        const bool used = i < static_cast<int>(tiles.size());
        const bool liked = used && tiles[static_cast<std::size_t>(i)].liked;
        QToolButton* star = stars_[static_cast<std::size_t>(i)];
        tiles_[static_cast<std::size_t>(i)]->setEnabled(used);
        star->setEnabled(used);
        star->setChecked(liked);
        star->setText(liked ? FullStar : EmptyStar);
        if (used)
            SetName(i, tiles[static_cast<std::size_t>(i)].name);
        else
            tiles_[static_cast<std::size_t>(i)]->setText(Number(i));
    }
    SetHeard(heard);
}

void BreederTiles::SetName(int index, const QString& name) {
    if (index >= 0 && index < Count)
        tiles_[static_cast<std::size_t>(index)]->setText(Number(index) + QStringLiteral("   ") +
                                                         name);
}

void BreederTiles::SetHeard(int heard) {
    for (int i = 0; i < Count; ++i)
        tiles_[static_cast<std::size_t>(i)]->setChecked(i == heard);
}
