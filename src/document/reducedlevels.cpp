#include "document/reducedlevels.h"

#include "document/tiledimage.h"

#include <QPainter>
#include <new>

namespace {

constexpr int kSide = TiledImage::kTileSide;

// The four channels of a pixel added up two at a time: red and blue in one
// word, alpha and green in another, so that a sum of four cannot overflow.
inline void add(quint32 pixel, quint32& redBlue, quint32& alphaGreen)
{
    redBlue += pixel & 0x00ff00ffu;
    alphaGreen += (pixel >> 8) & 0x00ff00ffu;
}

inline quint32 averageOf(quint32 redBlue, quint32 alphaGreen, int count)
{
    const quint32 half = static_cast<quint32>(count / 2) * 0x00010001u;
    const auto divide = [count](quint32 sum) {
        return ((sum & 0xffffu) / count) | (((sum >> 16) / count) << 16);
    };
    return divide(redBlue + half) | divide(alphaGreen + half) << 8;
}

} // namespace

QImage halved(const QImage& image)
{
    const int width = (image.width() + 1) / 2;
    const int height = (image.height() + 1) / 2;
    QImage half(width, height, image.format());
    if (half.isNull())
        throw std::bad_alloc();
    for (int y = 0; y < height; ++y) {
        const auto* top = reinterpret_cast<const quint32*>(image.constScanLine(2 * y));
        const bool twoRows = 2 * y + 1 < image.height();
        const auto* bottom =
            twoRows ? reinterpret_cast<const quint32*>(image.constScanLine(2 * y + 1)) : top;
        auto* out = reinterpret_cast<quint32*>(half.scanLine(y));
        for (int x = 0; x < width; ++x) {
            quint32 redBlue = 0;
            quint32 alphaGreen = 0;
            const bool twoColumns = 2 * x + 1 < image.width();
            add(top[2 * x], redBlue, alphaGreen);
            if (twoColumns)
                add(top[2 * x + 1], redBlue, alphaGreen);
            if (twoRows) {
                add(bottom[2 * x], redBlue, alphaGreen);
                if (twoColumns)
                    add(bottom[2 * x + 1], redBlue, alphaGreen);
            }
            out[x] = averageOf(redBlue, alphaGreen, (twoRows ? 2 : 1) * (twoColumns ? 2 : 1));
        }
    }
    return half;
}

void ReducedLevels::reset()
{
    m_levels.clear();
}

QSize ReducedLevels::levelSize(int level) const
{
    QSize size = m_source.size();
    for (int i = 0; i < level; ++i)
        size = QSize((size.width() + 1) / 2, (size.height() + 1) / 2);
    return size;
}

int ReducedLevels::deepestLevel() const
{
    int level = 0;
    QSize size = m_source.size();
    while (size.width() > 1 || size.height() > 1) {
        size = QSize((size.width() + 1) / 2, (size.height() + 1) / 2);
        ++level;
    }
    return level;
}

ReducedLevels::Level& ReducedLevels::level(int index)
{
    while (static_cast<int>(m_levels.size()) < index) {
        const QSize size = levelSize(static_cast<int>(m_levels.size()) + 1);
        Level added;
        added.columns = (size.width() + kSide - 1) / kSide;
        added.rows = (size.height() + kSide - 1) / kSide;
        added.tiles.resize(static_cast<std::size_t>(added.columns) * added.rows);
        m_levels.push_back(std::move(added));
    }
    return m_levels[static_cast<std::size_t>(index) - 1];
}

void ReducedLevels::invalidate(const QRect& area)
{
    QRect changed = area;
    for (Level& reduced : m_levels) {
        // Each level's pixels average two of the level above in each direction.
        changed = QRect(QPoint(changed.left() / 2, changed.top() / 2),
                        QPoint(changed.right() / 2, changed.bottom() / 2));
        for (int row = changed.top() / kSide; row <= changed.bottom() / kSide; ++row)
            for (int column = changed.left() / kSide; column <= changed.right() / kSide; ++column)
                if (row < reduced.rows && column < reduced.columns)
                    reduced.tiles[static_cast<std::size_t>(row) * reduced.columns + column] =
                        QImage();
    }
}

const QImage& ReducedLevels::tile(int index, int column, int row)
{
    Level& reduced = level(index);
    QImage& made = reduced.tiles[static_cast<std::size_t>(row) * reduced.columns + column];
    if (made.isNull()) {
        const QRect above = QRect(2 * column * kSide, 2 * row * kSide, 2 * kSide, 2 * kSide)
                                .intersected(QRect(QPoint(0, 0), levelSize(index - 1)));
        made = halved(region(index - 1, above));
    }
    return made;
}

QImage ReducedLevels::region(int index, const QRect& area)
{
    if (index == 0)
        return m_source.copy(area);
    QImage pixels(area.size(), m_source.base().format());
    if (pixels.isNull())
        throw std::bad_alloc();
    QPainter painter(&pixels);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int row = area.top() / kSide; row <= area.bottom() / kSide; ++row) {
        for (int column = area.left() / kSide; column <= area.right() / kSide; ++column) {
            const QPoint corner(column * kSide, row * kSide);
            painter.drawImage(corner - area.topLeft(), tile(index, column, row));
        }
    }
    return pixels;
}
