#include "document/zoomedview.h"

#include "document/resample.h"
#include "document/tiledimage.h"

#include <QPainter>
#include <cmath>

namespace {

// The side of the view's own tiles, and how many of them are kept.
constexpr int kViewTile = 128;
constexpr int kMaxViewTiles = 256;

quint64 keyOf(int column, int row)
{
    return quint64(quint32(column)) << 32 | quint32(row);
}

// The level to make a view at zoom from, and the scale from that level to the
// view: the smallest level still larger than the view.
struct Source
{
    int level = 0;
    double scale = 1;
};

Source sourceFor(double zoom, int deepest)
{
    Source source{0, zoom};
    while (source.scale <= 0.5 && source.level < deepest) {
        source.scale *= 2;
        ++source.level;
    }
    return source;
}

} // namespace

void ZoomedView::reset()
{
    m_levels.reset();
    m_tiles.clear();
}

void ZoomedView::invalidate(const QRect& area)
{
    m_levels.invalidate(area);
    if (m_tiles.isEmpty())
        return;
    const double zoom = m_cachedZoom;
    const auto down = [zoom](int value) { return static_cast<int>(std::floor(value * zoom)); };
    const auto up = [zoom](int value) { return static_cast<int>(std::ceil(value * zoom)); };
    const QRect shown(QPoint(down(area.left()), down(area.top())),
                      QPoint(up(area.right() + 1) - 1, up(area.bottom() + 1) - 1));
    for (int row = shown.top() / kViewTile; row <= shown.bottom() / kViewTile; ++row)
        for (int column = shown.left() / kViewTile; column <= shown.right() / kViewTile; ++column)
            m_tiles.remove(keyOf(column, row));
}

QSize ZoomedView::viewSize(double zoom) const
{
    const auto scaled = [zoom](int side) {
        return side == 0 ? 0 : std::max(1, static_cast<int>(std::ceil(side * zoom - 1e-9)));
    };
    return QSize(scaled(m_source.size().width()), scaled(m_source.size().height()));
}

QImage ZoomedView::made(const QRect& area, double zoom)
{
    const Source from = sourceFor(zoom, m_levels.deepestLevel());
    const QSize levelSize = m_levels.levelSize(from.level);
    const double scale = from.scale;
    const auto first = [scale](int view) { return static_cast<int>(std::floor(view / scale)); };
    const auto end = [scale](int view) { return static_cast<int>(std::ceil(view / scale)); };
    const QRect source = QRect(QPoint(first(area.left()), first(area.top())),
                               QPoint(end(area.right() + 1) - 1, end(area.bottom() + 1) - 1))
                             .intersected(QRect(QPoint(0, 0), levelSize));
    const QImage pixels = m_levels.region(from.level, source);
    if (scale == 1)
        return pixels.copy(area.translated(-source.topLeft()));
    if (scale > 1)
        return enlarged(pixels, source.topLeft(), scale, area);
    return areaAveraged(pixels, source.topLeft(), levelSize, scale, area);
}

const QImage& ZoomedView::cachedTile(int column, int row, double zoom)
{
    if (zoom != m_cachedZoom || m_tiles.size() > kMaxViewTiles) {
        m_tiles.clear();
        m_cachedZoom = zoom;
    }
    QImage& tile = m_tiles[keyOf(column, row)];
    if (tile.isNull()) {
        const QRect area = QRect(column * kViewTile, row * kViewTile, kViewTile, kViewTile)
                               .intersected(QRect(QPoint(0, 0), viewSize(zoom)));
        tile = made(area, zoom);
    }
    return tile;
}

void ZoomedView::paint(QPainter& painter, const QRect& area, double zoom)
{
    const QRect view = area.intersected(QRect(QPoint(0, 0), viewSize(zoom)));
    if (view.isEmpty())
        return;
    const Source from = sourceFor(zoom, m_levels.deepestLevel());
    // Enlarged views and views at a level's own scale cost no more than
    // copying what they show; only averaged views are kept.
    if (from.scale >= 1) {
        painter.drawImage(view.topLeft(), made(view, zoom));
        return;
    }
    for (int row = view.top() / kViewTile; row <= view.bottom() / kViewTile; ++row) {
        for (int column = view.left() / kViewTile; column <= view.right() / kViewTile; ++column) {
            const QRect tileArea(column * kViewTile, row * kViewTile, kViewTile, kViewTile);
            const QRect part = tileArea.intersected(view);
            painter.drawImage(part.topLeft(), cachedTile(column, row, zoom),
                              part.translated(-tileArea.topLeft()));
        }
    }
}
