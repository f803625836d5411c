// Zoom beyond the design: the picture surface shows the picture at a scale of
// its own while every tool keeps working in picture pixels. The program starts
// at 100 %, and every new picture is shown at 100 % again.

#include "forms/frmmain.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"
#include "toolkit/shape.h"
#include "toolkit/statusbar.h"
#include "units/twips.h"

#include <QCursor>
#include <QWheelEvent>
#include <array>
#include <cmath>

namespace {

// The steps of Ctrl + "+" and Ctrl + "-", and of the wheel with Ctrl.
constexpr std::array<double, 11> kLadder = {1.0 / 16, 1.0 / 8, 1.0 / 4, 1.0 / 3, 1.0 / 2, 2.0 / 3,
                                            1,        2,       3,       4,       8};
constexpr double kSame = 1e-9;

} // namespace

bool frmmain::showsPicture() const
{
    return !m_document.picture().isNull() && !picmain->size().isEmpty();
}

QSize frmmain::pictureRoom() const
{
    // The whole picture, its frame included, inside the viewport.
    return base->client()->size() - QSize(2, 2) * picmain->borderWidth();
}

QPoint frmmain::zoomAnchor() const
{
    // About the pointer where it stands over the viewport, else about its middle.
    const QWidget* viewport = base->client();
    const QPoint pointer = viewport->mapFromGlobal(QCursor::pos());
    return viewport->rect().contains(pointer) ? pointer : viewport->rect().center();
}

void frmmain::zoomIn()
{
    stepZoom(1, zoomAnchor());
}

void frmmain::zoomOut()
{
    stepZoom(-1, zoomAnchor());
}

void frmmain::stepZoom(int steps, QPoint anchor)
{
    double zoom = picmain->zoom();
    for (; steps > 0; --steps) {
        const auto next = std::find_if(kLadder.begin(), kLadder.end(),
                                       [zoom](double step) { return step > zoom + kSame; });
        if (next != kLadder.end())
            zoom = *next;
    }
    for (; steps < 0; ++steps) {
        const auto next = std::find_if(kLadder.rbegin(), kLadder.rend(),
                                       [zoom](double step) { return step < zoom - kSame; });
        if (next != kLadder.rend())
            zoom = *next;
    }
    zoomTo(zoom, anchor);
}

void frmmain::zoomToFit()
{
    if (!showsPicture())
        return;
    const QSize room = pictureRoom();
    const QSize picture = m_document.size();
    const double zoom =
        std::min(double(room.width()) / picture.width(), double(room.height()) / picture.height());
    zoomTo(zoom, QPoint(0, 0));
}

void frmmain::zoomToActualSize()
{
    zoomTo(1, zoomAnchor());
}

void frmmain::zoomTo(double zoom, QPoint anchor)
{
    if (!showsPicture() || std::abs(zoom - picmain->zoom()) < kSame)
        return;
    // The picture point under the anchor stays under it.
    const QPointF inView = QPointF(anchor - picmain->pos() - picmain->client()->pos());
    const QPointF picturePoint = inView / picmain->zoom();
    picmain->setZoom(zoom);
    setscrollrange();
    const QPointF place = QPointF(anchor) - picturePoint * zoom - QPointF(picmain->client()->pos());
    const auto scroll = [](ScrollBar* bar, double offset) {
        const int value =
            bar->isEnabled() ? static_cast<int>(twips::fromPixels(std::round(-offset))) : 0;
        bar->setValue(std::clamp(value, 0, bar->Max()));
    };
    scroll(HScroll, place.x());
    scroll(VScroll, place.y());
    HScroll_Change();
    VScroll_Change();
    replaceToolMarks();
    statusbar->flash(1, QStringLiteral("表示倍率 %1%").arg(std::lround(zoom * 100)));
}

void frmmain::replaceToolMarks()
{
    // The selection frame and the text preview stand on picture pixels.
    cutimage->setRect(picmain->fromPicture(m_frame));
    if (m_textPreview)
        showTextPreview(*m_textPreview);
}

void frmmain::zoomByWheel(QWheelEvent* event)
{
    m_wheelZoomRest += event->angleDelta().y();
    const int notches = m_wheelZoomRest / 120;
    m_wheelZoomRest -= notches * 120;
    if (notches != 0)
        stepZoom(notches, event->position().toPoint() - base->client()->pos());
}
