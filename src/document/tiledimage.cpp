#include "document/tiledimage.h"

#include <QPainter>
#include <cstring>

namespace {

// Copies the pixels of from's area at (x, y) into to, row by row, when both
// have the same four-byte format; through a painter otherwise.
void copyPixels(const QImage& from, const QRect& area, QImage& to, QPoint at)
{
    if (from.format() == to.format() && from.depth() == 32) {
        const auto bytes = static_cast<std::size_t>(area.width()) * 4;
        for (int row = 0; row < area.height(); ++row)
            std::memcpy(to.scanLine(at.y() + row) + at.x() * 4,
                        from.constScanLine(area.y() + row) + area.x() * 4, bytes);
        return;
    }
    QPainter painter(&to);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(at, from, area);
}

} // namespace

TiledImage::TiledImage(QImage base)
    : m_base(std::move(base)),
      m_columns(m_base.isNull() ? 0 : (m_base.width() + kTileSide - 1) / kTileSide),
      m_rows(m_base.isNull() ? 0 : (m_base.height() + kTileSide - 1) / kTileSide),
      m_tiles(static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows))
{
}

QRect TiledImage::tileRect(int column, int row) const
{
    return QRect(column * kTileSide, row * kTileSide, kTileSide, kTileSide).intersected(rect());
}

template <typename Visit> void TiledImage::forEachTile(const QRect& area, Visit visit) const
{
    const QRect inside = area.intersected(rect());
    if (inside.isEmpty())
        return;
    for (int row = rowOf(inside.top()); row <= rowOf(inside.bottom()); ++row)
        for (int column = columnOf(inside.left()); column <= columnOf(inside.right()); ++column)
            visit(column, row, tileRect(column, row));
}

QRect TiledImage::tileRect(int index) const
{
    return tileRect(index % m_columns, index / m_columns);
}

void TiledImage::putTile(int index, QImage pixels)
{
    m_tiles[static_cast<std::size_t>(index)] = std::move(pixels);
}

void TiledImage::setObserver(std::function<void(int, const QImage&)> observer)
{
    m_observer = std::move(observer);
}

QImage& TiledImage::ownTile(int column, int row)
{
    const int index = row * m_columns + column;
    QImage& tile = m_tiles[static_cast<std::size_t>(index)];
    if (m_observer)
        m_observer(index, tile);
    if (tile.isNull()) {
        const QRect area = tileRect(column, row);
        tile = QImage(area.size(), m_base.format());
        if (tile.isNull())
            throw std::bad_alloc();
        copyPixels(m_base, area, tile, QPoint(0, 0));
    }
    if (m_dotsPerMeterX > 0 && tile.dotsPerMeterX() != m_dotsPerMeterX)
        tile.setDotsPerMeterX(m_dotsPerMeterX);
    if (m_dotsPerMeterY > 0 && tile.dotsPerMeterY() != m_dotsPerMeterY)
        tile.setDotsPerMeterY(m_dotsPerMeterY);
    return tile;
}

void TiledImage::paint(QPainter& painter, const QRect& area) const
{
    forEachTile(area, [&](int column, int row, const QRect& tileArea) {
        const QRect part = tileArea.intersected(area);
        const QImage& tile = m_tiles[static_cast<std::size_t>(row) * m_columns + column];
        if (tile.isNull())
            painter.drawImage(part.topLeft(), m_base, part);
        else
            painter.drawImage(part.topLeft(), tile, part.translated(-tileArea.topLeft()));
    });
}

QImage TiledImage::copy(const QRect& area) const
{
    QImage pixels(area.size(), m_base.format());
    if (pixels.isNull())
        throw std::bad_alloc();
    forEachTile(area, [&](int column, int row, const QRect& tileArea) {
        const QRect part = tileArea.intersected(area);
        const QImage& tile = m_tiles[static_cast<std::size_t>(row) * m_columns + column];
        if (tile.isNull())
            copyPixels(m_base, part, pixels, part.topLeft() - area.topLeft());
        else
            copyPixels(tile, part.translated(-tileArea.topLeft()), pixels,
                       part.topLeft() - area.topLeft());
    });
    pixels.setDotsPerMeterX(m_base.dotsPerMeterX());
    pixels.setDotsPerMeterY(m_base.dotsPerMeterY());
    return pixels;
}

void TiledImage::mark(const QRect& area, const std::function<void(QPainter&)>& draw,
                      const std::function<bool(const QRect&)>& touches)
{
    forEachTile(area, [&](int column, int row, const QRect& tileArea) {
        if (touches && !touches(tileArea))
            return;
        QImage& tile = ownTile(column, row);
        QPainter painter(&tile);
        painter.translate(-tileArea.topLeft());
        painter.setClipRect(area);
        draw(painter);
    });
}

void TiledImage::restore(const QRect& area)
{
    forEachTile(area, [&](int column, int row, const QRect& tileArea) {
        const int index = row * m_columns + column;
        QImage& tile = m_tiles[static_cast<std::size_t>(index)];
        if (tile.isNull())
            return;
        if (m_observer)
            m_observer(index, tile);
        const QRect part = tileArea.intersected(area);
        // A tile erased whole shares the loaded picture's pixels again.
        if (part == tileArea)
            tile = QImage();
        else
            copyPixels(m_base, part, tile, part.topLeft() - tileArea.topLeft());
    });
}

void TiledImage::clear()
{
    for (QImage& tile : m_tiles)
        tile = QImage();
}

int TiledImage::markedTiles() const
{
    int count = 0;
    for (const QImage& tile : m_tiles)
        count += tile.isNull() ? 0 : 1;
    return count;
}

void TiledImage::setDotsPerMeter(int x, int y)
{
    m_dotsPerMeterX = x;
    m_dotsPerMeterY = y;
}
