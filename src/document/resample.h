#pragma once

// Pictures shown at another scale. Output pixel (X, Y) at scale z stands for
// the source area from X / z to (X + 1) / z (and the same down): enlarged
// views show the source pixel there as a hard square, reduced views the
// average of the area, each source pixel weighted by how much of it lies in.

#include <QImage>
#include <QPoint>
#include <QRect>

// The output pixels of area at zoom (above 1), from source, whose top-left
// pixel is the source's pixel at origin.
QImage enlarged(const QImage& source, QPoint origin, double zoom, const QRect& area);

// The output pixels of area at scale (from one half to one), from source,
// whose top-left pixel is the source's pixel at origin; sourceSize is the
// size of the whole source, whose edges bound the averaged areas.
QImage areaAveraged(const QImage& source, QPoint origin, QSize sourceSize, double scale,
                    const QRect& area);
