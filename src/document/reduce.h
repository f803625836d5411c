#pragma once

// Averaging pixels down: the arithmetic behind the reduced copies of a
// picture. Every result pixel is the rounded average, channel by channel, of
// the block of pixels it stands for; at an odd edge the block is cut short
// and only the pixels in it count. Pixels are four bytes each (RGB32 or
// premultiplied ARGB32).

#include <QImage>
#include <QPoint>
#include <QRect>
#include <atomic>

// Halves source's area into target at: each pixel of target stands for 2 x 2
// pixels of the area.
void halveInto(const QImage& source, const QRect& area, QImage& target, QPoint at);

// The whole of source at 1/8: each pixel stands for 8 x 8 pixels. Null when
// cancelled turns true on the way.
QImage eighth(const QImage& source, const std::atomic<bool>& cancelled);
