#include "forms/loadingview.h"

#include "input/pictureloading.h"
#include "toolkit/picturebox.h"

#include <QElapsedTimer>
#include <algorithm>
#include <limits>

namespace {

// How long to wait for rows before looking again; rows below the visible part
// are painted about this often, so that a picture that comes into view on a
// larger screen still fills in as it decodes.
constexpr int kWaitMilliseconds = 16;
constexpr qint64 kPaintInterval = 100;
// How long a window waits unshown for the rows it would show first.
constexpr qint64 kLongestHiddenWait = 150;

} // namespace

LoadingView::LoadingView(PictureBox& surface)
    : m_surface(surface), m_geometry(surface.geometry()), m_zoom(surface.zoom())
{
}

LoadingView::~LoadingView()
{
    restore();
}

void LoadingView::restore()
{
    if (!m_showing || m_done)
        return;
    m_done = true;
    m_surface.endLoading();
    m_surface.setZoom(m_zoom);
    m_surface.setGeometry(m_geometry);
}

PictureLoad LoadingView::follow(PictureLoading& loading,
                                const std::function<void()>& whenViewFilled)
{
    PictureLoading::Progress known;
    QElapsedTimer sincePaint;
    sincePaint.start();
    QElapsedTimer sinceStart;
    sinceStart.start();
    bool waitingToShow = static_cast<bool>(whenViewFilled);
    // Once the rows in view are painted, the rows below wake this thread only
    // as often as they are painted, not for every batch the decoder makes.
    bool inViewPainted = false;
    while (!known.ended) {
        const bool onlyNowAndThen = inViewPainted && !waitingToShow;
        const int rowsWanted = onlyNowAndThen ? std::numeric_limits<int>::max() : known.rows + 1;
        const int wait = onlyNowAndThen
                             ? int(std::max<qint64>(1, kPaintInterval - sincePaint.elapsed()))
                             : kWaitMilliseconds;
        const PictureLoading::Progress now = loading.waitForMore(known, rowsWanted, wait);
        // Rows that do not come from the top are shown when the picture is
        // whole; a corner decoded ahead shows at once.
        const bool topFirst = !now.picture.isNull() && now.rowsTopFirst;
        if (!m_showing && (!now.corner.isNull() || topFirst))
            show(now.size);
        if (m_showing && known.corner.isNull() && !now.corner.isNull()) {
            m_surface.setLoadingCorner(now.corner);
            paint(now.corner.rect());
        }
        if (m_showing && known.picture.isNull() && topFirst)
            m_surface.setLoadingPicture(now.picture);
        if (waitingToShow) {
            const QWidget* viewport = m_surface.parentWidget();
            const int rowsInView = viewport ? viewport->height() : 0;
            const bool filled = !now.corner.isNull() || (topFirst && now.rows >= rowsInView);
            if (now.ended || filled || sinceStart.elapsed() >= kLongestHiddenWait) {
                m_surface.setLoadedRows(topFirst ? now.rows : 0);
                m_painted = topFirst ? now.rows : 0;
                waitingToShow = false;
                whenViewFilled();
            }
        }
        if (m_showing && topFirst && now.rows > m_painted) {
            m_surface.setLoadedRows(now.rows);
            const QRect visible = m_surface.client()->visibleRegion().boundingRect();
            // Rows in view are painted as soon as they are final; the rest now and then.
            if (m_painted <= visible.bottom() || sincePaint.elapsed() >= kPaintInterval) {
                paint(QRect(0, m_painted, m_surface.client()->width(), now.rows - m_painted));
                m_painted = now.rows;
                sincePaint.restart();
            }
            inViewPainted = m_painted > visible.bottom();
        }
        known = now;
    }
    return loading.result();
}

void LoadingView::show(QSize size)
{
    m_showing = true;
    // Shown as a loaded picture is: at its own size, at the viewport's corner.
    m_surface.setZoom(1);
    m_surface.move(0, 0);
    m_surface.showLoading(size);
    // The viewport as a whole, so that nothing of the old picture stays around
    // a smaller new one.
    if (QWidget* viewport = m_surface.parentWidget(); viewport && viewport->isVisible())
        viewport->repaint();
}

void LoadingView::paint(const QRect& area)
{
    const QRect visible = area.intersected(m_surface.client()->visibleRegion().boundingRect());
    if (!visible.isEmpty())
        m_surface.client()->repaint(visible);
}
