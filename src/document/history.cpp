#include "document/history.h"

#include <algorithm>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace {

std::int64_t imageBytes(const QImage& image)
{
    return image.isNull() ? 0 : static_cast<std::int64_t>(image.sizeInBytes());
}

} // namespace

std::int64_t HistoryStep::bytes() const
{
    std::int64_t total = piece ? imageBytes(piece->image()) : 0;
    for (const auto& [index, tile] : tiles)
        total += imageBytes(tile);
    return total;
}

std::int64_t History::defaultLimit()
{
    std::int64_t limit = std::int64_t(512) << 20;
#if defined(Q_OS_UNIX)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    if (pages > 0 && pageSize > 0)
        limit = std::min(limit, std::int64_t(pages) * pageSize / 4);
#endif
    return limit;
}

void History::open()
{
    close();
    m_open = HistoryStep{};
}

void History::close()
{
    if (!m_open)
        return;
    HistoryStep step = std::move(*m_open);
    m_open.reset();
    if (step.isEmpty())
        return;
    // A new mark makes the steps taken back unreachable.
    m_redo.clear();
    pushUndo(std::move(step));
}

void History::recordTile(int index, const QImage& before)
{
    if (!m_open)
        return;
    auto& tiles = m_open->tiles;
    if (std::any_of(tiles.begin(), tiles.end(),
                    [index](const auto& t) { return t.first == index; }))
        return;
    tiles.emplace_back(index, before);
}

void History::recordPiece(const PieceStore& before)
{
    if (m_open && !m_open->piece)
        m_open->piece = before;
}

HistoryStep History::takeUndo()
{
    HistoryStep step = std::move(m_undo.back());
    m_undo.pop_back();
    m_bytes -= step.bytes();
    return step;
}

HistoryStep History::takeRedo()
{
    HistoryStep step = std::move(m_redo.back());
    m_redo.pop_back();
    m_bytes -= step.bytes();
    return step;
}

void History::pushRedo(HistoryStep step)
{
    m_bytes += step.bytes();
    m_redo.push_back(std::move(step));
    trim();
}

void History::pushUndo(HistoryStep step)
{
    m_bytes += step.bytes();
    m_undo.push_back(std::move(step));
    trim();
}

void History::clear()
{
    m_open.reset();
    m_undo.clear();
    m_redo.clear();
    m_bytes = 0;
}

void History::trim()
{
    // The oldest steps go first: those furthest back in the undo list, then
    // those furthest ahead in the redo list.
    while (m_bytes > m_limit && !m_undo.empty()) {
        m_bytes -= m_undo.front().bytes();
        m_undo.pop_front();
    }
    while (m_bytes > m_limit && !m_redo.empty()) {
        m_bytes -= m_redo.front().bytes();
        m_redo.pop_front();
    }
}
