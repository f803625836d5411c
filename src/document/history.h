#pragma once

// The marks that can be taken back and done again. A step holds what it
// changed as it was before: the tiles of the marked picture a mark touched
// (shared, so a tile costs memory only once the mark has changed it) and the
// piece a cut replaced. Taking a step back stores the present state in its
// place, so the same step can be done again. The steps kept are bounded in
// memory; the oldest go first.

#include "document/piecestore.h"

#include <QImage>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

struct HistoryStep
{
    std::vector<std::pair<int, QImage>>
        tiles; // tile index, its pixels (null: the loaded picture's)
    std::optional<PieceStore> piece;

    bool isEmpty() const { return tiles.empty() && !piece; }
    std::int64_t bytes() const;
};

class History
{
  public:
    // The most memory the steps may hold: 512 MiB, or a quarter of the
    // machine's memory where that is less.
    static std::int64_t defaultLimit();
    explicit History(std::int64_t limit = defaultLimit()) : m_limit(limit) {}

    bool isOpen() const { return m_open.has_value(); }
    // Opens a step; one already open is closed first.
    void open();
    // Closes the open step; a step that changed nothing is dropped.
    void close();

    // Told before a tile or the piece changes; only the first change of each
    // within a step is kept.
    void recordTile(int index, const QImage& before);
    void recordPiece(const PieceStore& before);

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    // The step to take back or do again; the caller applies it and hands back
    // what it replaced with pushRedo or pushUndo.
    HistoryStep takeUndo();
    HistoryStep takeRedo();
    void pushRedo(HistoryStep step);
    void pushUndo(HistoryStep step);

    void clear();
    std::int64_t bytes() const { return m_bytes; }
    int undoCount() const { return static_cast<int>(m_undo.size()); }

  private:
    void trim();

    std::int64_t m_limit;
    std::int64_t m_bytes = 0;
    std::optional<HistoryStep> m_open;
    std::deque<HistoryStep> m_undo;
    std::deque<HistoryStep> m_redo;
};
