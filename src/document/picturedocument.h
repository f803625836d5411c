#pragma once

// The picture being worked on, apart from any window: the loaded picture
// (never changed once loaded), the marked picture (the loaded one with every
// stroke, text and erasure on it), the piece store, and the history of marks
// and cuts that can be taken back. Everything is in picture pixels; every mark
// reports the area it changed.

#include "document/history.h"
#include "document/piecestore.h"
#include "document/tiledimage.h"
#include "document/zoomedview.h"

#include <QColor>
#include <QFont>
#include <QObject>
#include <QSizeF>

class QPainter;

struct Pen
{
    QColor color;
    int width = 1; // pixels
};

struct TextStyle
{
    QFont font; // sized in points
    QColor color;
    QSizeF dpi{96, 96}; // the resolution at which points become pixels
};

class PictureDocument : public QObject
{
    Q_OBJECT
  public:
    // pieceSize is the size of the blank piece held before the first cut.
    explicit PictureDocument(QSize pieceSize, QObject* parent = nullptr);

    // The loaded picture; null before the first load.
    const QImage& picture() const { return m_marked.base(); }
    QSize size() const { return m_marked.size(); }
    QRect rect() const { return m_marked.rect(); }
    // Replaces the loaded picture; the marks go with the old one.
    void setPicture(QImage picture);

    // Draws the marked picture's area at its place in picture coordinates.
    void paint(QPainter& painter, const QRect& area) const { m_marked.paint(painter, area); }
    // Draws the marked picture as a view at zoom shows it: view pixel (X, Y)
    // stands for the picture's area from X / zoom to (X + 1) / zoom. area is
    // in view pixels, within viewSize(zoom).
    void paint(QPainter& painter, const QRect& area, double zoom) const;
    QSize viewSize(double zoom) const;
    // The marked picture's pixels of area, which must lie inside the picture.
    QImage marked(const QRect& area) const { return m_marked.copy(area); }
    int markedTiles() const { return m_marked.markedTiles(); }

    // A straight stroke between the centres of two pixels, with round ends.
    QRect drawSegment(QPointF from, QPointF to, const Pen& pen);
    // One line of text whose top-left corner stands on the pixel at (or
    // nearest to) at, with no background box.
    QRect printText(QPointF at, const QString& text, const TextStyle& style);
    // Puts the loaded picture's own pixels back in area.
    QRect erase(const QRect& area);
    // Takes every mark off.
    void clearMarks();

    const PieceStore& cuttedpic() const { return m_piece; }
    // The marked pixels of area become the piece; where area reaches past the
    // picture, the piece keeps its blank background. An empty area gives an
    // empty piece of that size.
    void cut(const QRect& area);
    // Clears the piece to its background at its present size.
    void clearPiece();

    // Marks and cuts are taken back and done again by steps. A step opens with
    // beginMark() (closing one still open) and closes with endMark(); a change
    // made while no step is open opens one, which the next endMark() closes.
    void beginMark();
    void endMark();
    struct Restored
    {
        QRect area;         // the part of the marked picture that changed back
        bool piece = false; // the piece changed back
    };
    // Each closes the open step first; nullopt when there is nothing to take
    // back or do again.
    std::optional<Restored> undo();
    std::optional<Restored> redo();
    bool canUndo() const { return m_history.canUndo() || m_history.isOpen(); }
    bool canRedo() const { return m_history.canRedo(); }
    const History& history() const { return m_history; }

  signals:
    void pictureReplaced();
    void changed(const QRect& area);
    void pieceChanged();

  private:
    QRect changedWithin(const QRect& area);
    void willChange();
    void willChangePiece();
    Restored apply(HistoryStep step, HistoryStep& replaced);
    void watchTiles();

    TiledImage m_marked;
    // Made as views ask for them, so drawing changes nothing a user could see.
    mutable ZoomedView m_zoomed{m_marked};
    PieceStore m_piece;
    History m_history;
};
