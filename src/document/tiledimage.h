#pragma once

// The marked picture: the loaded picture with whatever was drawn, printed or
// erased on it, kept as square tiles. A tile shares the loaded picture's pixels
// until a mark touches it and only then gets pixels of its own, so a mark costs
// the same on a huge picture as on a small one, and the loaded picture itself
// is never written.

#include <QImage>
#include <QRect>
#include <functional>
#include <vector>

class QPainter;

class TiledImage
{
  public:
    static constexpr int kTileSide = 256;

    TiledImage() = default;
    explicit TiledImage(QImage base);

    bool isNull() const { return m_base.isNull(); }
    QSize size() const { return m_base.size(); }
    QRect rect() const { return m_base.rect(); }
    const QImage& base() const { return m_base; }

    // Draws the marked pixels of area at their own place in picture coordinates.
    void paint(QPainter& painter, const QRect& area) const;
    // The marked pixels of area, which must lie inside the picture.
    QImage copy(const QRect& area) const;
    // Paints a mark: draw runs once for every tile that area touches and that
    // touches() accepts (all of them when it is empty), on the tile's own
    // pixels, with the painter set up in picture coordinates and clipped to area.
    void mark(const QRect& area, const std::function<void(QPainter&)>& draw,
              const std::function<bool(const QRect&)>& touches = {});
    // Puts the loaded picture's pixels back in area.
    void restore(const QRect& area);
    // Takes every mark off at once.
    void clear();

    // Tiles holding pixels of their own, for memory figures.
    int markedTiles() const;

    // Told the index and the pixels of a tile just before a mark or an
    // erasure changes them (null pixels: the loaded picture's).
    void setObserver(std::function<void(int index, const QImage& before)> observer);
    // A tile's pixels and place, and putting back pixels an observer was told of.
    QImage tile(int index) const { return m_tiles[static_cast<std::size_t>(index)]; }
    QImage tileAt(int column, int row) const { return tile(row * m_columns + column); }
    QRect tileRect(int index) const;
    void putTile(int index, QImage pixels);
    // Text is sized by the resolution of the device it is drawn on; tiles
    // take this one when they are painted.
    void setDotsPerMeter(int x, int y);

  private:
    int columnOf(int x) const { return x / kTileSide; }
    int rowOf(int y) const { return y / kTileSide; }
    QRect tileRect(int column, int row) const;
    QImage& ownTile(int column, int row);
    template <typename Visit> void forEachTile(const QRect& area, Visit visit) const;

    QImage m_base;
    int m_columns = 0;
    int m_rows = 0;
    std::vector<QImage> m_tiles; // a null tile shows the loaded picture's pixels
    int m_dotsPerMeterX = 0;
    int m_dotsPerMeterY = 0;
    std::function<void(int, const QImage&)> m_observer;
};
