#pragma once

// Reduced copies of the marked picture for views smaller than the picture:
// level k is the picture at 1/2^k, each pixel the average of the 2 x 2 pixels
// of the level above it that it stands for. A level is kept as tiles of the
// marked picture's tile size, each made out of the four tiles above it the
// first time a view needs it, and made again where a mark changes the
// picture; a view of a huge picture at a small scale thus costs what the view
// shows, not what the picture holds. Level 3 of a large loaded picture is made
// whole on a thread of its own as soon as the picture is loaded, so that the
// first view of all of it is at hand.

#include <QImage>
#include <QRect>
#include <atomic>
#include <thread>
#include <vector>

class TiledImage;

class ReducedLevels
{
  public:
    explicit ReducedLevels(const TiledImage& source) : m_source(source) {}
    ~ReducedLevels();
    ReducedLevels(const ReducedLevels&) = delete;
    ReducedLevels& operator=(const ReducedLevels&) = delete;

    // Forgets every level: the picture was replaced.
    void reset();
    // Forgets what a change to area of the picture made out of date.
    void invalidate(const QRect& area);

    // The size of a level (0 is the picture itself).
    QSize levelSize(int level) const;
    // The deepest level worth making: one whose sides are a single pixel.
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
        std::vector<bool> marked;  // changed since the picture was loaded
    };
    Level& level(int index);
    // A tile of a level, and the rectangle of it that holds pixels.
    const QImage& tile(int level, int column, int row);
    QImage made(int level, int column, int row);
    void stopOverview();

    const TiledImage& m_source;
    std::vector<Level> m_levels; // m_levels[0] is level 1

    // Level 3 of the loaded picture, made on a thread of its own.
    std::thread m_overviewJob;
    std::atomic<bool> m_overviewCancelled{false};
    QImage m_overview;
};
