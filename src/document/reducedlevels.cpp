#include "document/reducedlevels.h"

#include "document/reduce.h"
#include "document/tiledimage.h"

#include <cstring>
#include <new>

namespace {

constexpr int kSide = TiledImage::kTileSide;
// The level made whole when a picture is loaded, and from what size on.
constexpr int kOverviewLevel = 3;
constexpr qint64 kOverviewPixels = qint64(2048) * 2048;

void copyRows(const QImage& from, const QRect& area, QImage& to, QPoint at)
{
    const auto bytes = static_cast<std::size_t>(area.width()) * 4;
    for (int y = 0; y < area.height(); ++y)
        std::memcpy(to.scanLine(at.y() + y) + at.x() * 4,
                    from.constScanLine(area.y() + y) + area.x() * 4, bytes);
}

} // namespace

ReducedLevels::~ReducedLevels()
{
    stopOverview();
}

void ReducedLevels::stopOverview()
{
    m_overviewCancelled = true;
    if (m_overviewJob.joinable())
        m_overviewJob.join();
    m_overviewCancelled = false;
}

void ReducedLevels::reset()
{
    stopOverview();
    m_levels.clear();
    m_overview = QImage();
    const QImage& base = m_source.base();
    if (qint64(base.width()) * base.height() < kOverviewPixels)
        return;
    // The loaded picture is never written, so the job may read it while the
    // program goes on; its result is taken the first time level 3 is needed.
    m_overviewJob = std::thread([this, base] {
        try {
            m_overview = eighth(base, m_overviewCancelled);
        } catch (const std::bad_alloc&) {
            m_overview = QImage(); // the tiles are made one by one instead
        }
    });
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
        added.marked.resize(added.tiles.size(), false);
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
        for (int row = changed.top() / kSide; row <= changed.bottom() / kSide; ++row) {
            for (int column = changed.left() / kSide; column <= changed.right() / kSide; ++column) {
                if (row >= reduced.rows || column >= reduced.columns)
                    continue;
                const auto index = static_cast<std::size_t>(row) * reduced.columns + column;
                reduced.tiles[index] = QImage();
                reduced.marked[index] = true;
            }
        }
    }
}

const QImage& ReducedLevels::tile(int index, int column, int row)
{
    Level& reduced = level(index);
    const auto at = static_cast<std::size_t>(row) * reduced.columns + column;
    if (reduced.tiles[at].isNull())
        reduced.tiles[at] = made(index, column, row);
    return reduced.tiles[at];
}

QImage ReducedLevels::made(int index, int column, int row)
{
    const QRect area = QRect(column * kSide, row * kSide, kSide, kSide)
                           .intersected(QRect(QPoint(0, 0), levelSize(index)));
    QImage pixels(area.size(), m_source.base().format());
    if (pixels.isNull())
        throw std::bad_alloc();
    if (index == kOverviewLevel &&
        !level(index).marked[static_cast<std::size_t>(row) * level(index).columns + column]) {
        if (m_overviewJob.joinable())
            m_overviewJob.join();
        if (!m_overview.isNull()) {
            copyRows(m_overview, area, pixels, QPoint(0, 0));
            return pixels;
        }
    }
    // Each quarter of the tile halves one tile of the level above.
    const QSize above = levelSize(index - 1);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 2; ++x) {
            const int sourceColumn = 2 * column + x;
            const int sourceRow = 2 * row + y;
            const QRect sourceArea = QRect(sourceColumn * kSide, sourceRow * kSide, kSide, kSide)
                                         .intersected(QRect(QPoint(0, 0), above));
            if (sourceArea.isEmpty())
                continue;
            const QPoint into(x * kSide / 2, y * kSide / 2);
            if (index == 1) {
                const QImage marked = m_source.tileAt(sourceColumn, sourceRow);
                if (marked.isNull())
                    halveInto(m_source.base(), sourceArea, pixels, into);
                else
                    halveInto(marked, marked.rect(), pixels, into);
            } else {
                const QImage& source = tile(index - 1, sourceColumn, sourceRow);
                halveInto(source, source.rect(), pixels, into);
            }
        }
    }
    return pixels;
}

QImage ReducedLevels::region(int index, const QRect& area)
{
    if (index == 0)
        return m_source.copy(area);
    QImage pixels(area.size(), m_source.base().format());
    if (pixels.isNull())
        throw std::bad_alloc();
    for (int row = area.top() / kSide; row <= area.bottom() / kSide; ++row) {
        for (int column = area.left() / kSide; column <= area.right() / kSide; ++column) {
            const QRect tileArea(column * kSide, row * kSide, kSide, kSide);
            const QRect part = tileArea.intersected(area);
            copyRows(tile(index, column, row), part.translated(-tileArea.topLeft()), pixels,
                     part.topLeft() - area.topLeft());
        }
    }
    return pixels;
}
