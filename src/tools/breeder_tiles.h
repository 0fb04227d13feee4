#pragma once

#include <QWidget>

#include <array>
#include <functional>
#include <vector>

class QPushButton;
class QToolButton;

// The breeder's children as a grid of numbered tiles, each with a star. A
// click on a tile or a star is reported; what the tiles show is set from
// outside.
class BreederTiles : public QWidget {
    Q_OBJECT
public:
    static constexpr int Count = 16;
    static constexpr int Columns = 4;

    struct Tile {
        QString name;
        bool liked = false;
    };

    BreederTiles(std::function<void(int)> onTile, std::function<void(int)> onStar,
                 QWidget* parent = nullptr);

    // One tile per child; the rest are disabled. `heard` is highlighted.
    void Show(const std::vector<Tile>& tiles, int heard);
    void SetName(int index, const QString& name);
    void SetHeard(int heard);

    // "1".."9", "0" for the tenth, then "11".."16".
    static QString Number(int index);

private:
    std::array<QPushButton*, Count> tiles_{};
    std::array<QToolButton*, Count> stars_{};
};
