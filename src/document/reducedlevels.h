#pragma once

// Reduced copies of the marked picture for views smaller than the picture:
// level k is the picture at 1/2^k, each pixel the average of the 2 x 2 pixels
// of the level above it that it stands for. A level is kept as tiles that are
// made the first time a view needs them, and made again where a mark changes
// the picture; a view of a huge picture at a small scale thus costs what the
// view shows, not what the picture holds.

#include <QImage>
#include <QRect>
#include <vector>

class TiledImage;

class ReducedLevels
{
  public:
    explicit ReducedLevels(const TiledImage& source) : m_source(source) {}

    // Forgets every level: the picture was replaced.
    void reset();
    // Forgets what a change to area of the picture made out of date.
    void invalidate(const QRect& area);

    // The size of a level (0 is the picture itself).
    QSize levelSize(int level) const;
    // The deepest level worth making: one whose longer side is a single pixel.
    int deepestLevel() const;
    // The pixels of area of a level, in that level's coordinates; area must
    // lie inside the level.
    QImage region(int level, const QRect& area);

  private:
    struct Level
    {
        int columns = 0;
        int rows = 0;
        std::vector<QImage> tiles; // null: not made yet
    };
    Level& level(int index);
    const QImage& tile(int level, int column, int row);

    const TiledImage& m_source;
    std::vector<Level> m_levels; // m_levels[0] is level 1
};

// Halves image in both directions, each pixel the rounded average of the
// 2 x 2 pixels it stands for (of 2 x 1, 1 x 2 or 1 x 1 at an odd edge).
QImage halved(const QImage& image);
