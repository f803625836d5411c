#pragma once

// Shared by the mark-up tests: a shown main window holding a picture, mouse
// gestures on the picture surface in its pixels, and pixel measurements that
// do not lean on the code under test.

#include "testpictures.h"
#include "toolkit/picturebox.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPushButton>
#include <QTest>
#include <cmath>

struct MarkupApp : TestApp
{
    // Opens picture as a dropped file would be.
    explicit MarkupApp(const QImage& picture)
    {
        main->show();
        main->openDroppedFile(
            LocalFileName::fromText(writeBmp(dir, QStringLiteral("picture.bmp"), picture)));
        QApplication::processEvents();
    }

    void choose(const char* tool) const { QTest::mouseClick(button(tool), Qt::LeftButton); }
    bool busy() const { return main->activeTool() && main->activeTool()->busy(); }
    void press(QPoint at) const { QTest::mousePress(surface(), Qt::LeftButton, {}, at); }
    void release(QPoint at) const { QTest::mouseRelease(surface(), Qt::LeftButton, {}, at); }
    // A move with the button held, as during a stroke.
    void drag(QPoint at) const { QTest::mouseMove(surface(), at); }

    // A move with no button held, delivered as the window system delivers it.
    void hover(QPoint at) const
    {
        QMouseEvent event(QEvent::MouseMove, at, surface()->mapToGlobal(at), Qt::NoButton,
                          Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(surface(), &event);
    }

    void stroke(const QList<QPoint>& points) const
    {
        press(points.first());
        for (qsizetype i = 1; i < points.size(); ++i)
            drag(points[i]);
        release(points.last());
    }
};

// A picture whose every pixel differs from its neighbours, as an opaque RGB32 image.
inline QImage markupPicture(int width, int height)
{
    return patternImage(width, height, 17);
}

// How far the centre of pixel (x, y) lies from the segment between the centres
// of pixels a and b.
inline double distanceToSegment(int x, int y, QPoint a, QPoint b)
{
    const double px = x - a.x(), py = y - a.y();
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    const double length2 = dx * dx + dy * dy;
    const double t = length2 == 0 ? 0 : std::clamp((px * dx + py * dy) / length2, 0.0, 1.0);
    return std::hypot(px - t * dx, py - t * dy);
}

inline double distanceToStroke(int x, int y, const QList<QPoint>& points)
{
    double nearest = distanceToSegment(x, y, points.first(), points.first());
    for (qsizetype i = 1; i < points.size(); ++i)
        nearest = std::min(nearest, distanceToSegment(x, y, points[i - 1], points[i]));
    return nearest;
}

inline bool sameColour(QRgb a, QRgb b)
{
    return (a & 0xffffff) == (b & 0xffffff);
}

// Collects the areas a widget repaints.
class PaintWatcher : public QObject
{
  public:
    QRegion painted;

  protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
};
