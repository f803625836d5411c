#pragma once

// The marked picture as a view at another scale shows it: view pixel (X, Y)
// stands for the picture's area from X / zoom to (X + 1) / zoom. Below 1 the
// view is made from the reduced level just larger than it, averaged down; a
// view between two levels keeps what it made in tiles of its own, so that a
// repaint or a scroll makes only what was not shown before.

#include "document/reducedlevels.h"

#include <QHash>
#include <QImage>
#include <QRect>

class QPainter;
class TiledImage;

class ZoomedView
{
  public:
    explicit ZoomedView(const TiledImage& source) : m_source(source), m_levels(source) {}

    // Forgets everything made: the picture was replaced.
    void reset();
    // Forgets what a change to area of the picture made out of date.
    void invalidate(const QRect& area);

    QSize viewSize(double zoom) const;
    // Draws area (view pixels) of the view at zoom at its place.
    void paint(QPainter& painter, const QRect& area, double zoom);

  private:
    // The view's pixels of area, made from the level above it.
    QImage made(const QRect& area, double zoom);
    const QImage& cachedTile(int column, int row, double zoom);

    const TiledImage& m_source;
    ReducedLevels m_levels;
    double m_cachedZoom = 0;
    QHash<quint64, QImage> m_tiles;
};
