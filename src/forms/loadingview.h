#pragma once

// The picture surface while a picture decodes on its loading thread: the rows
// reported final are painted as they come, without running the event loop, so
// only painting goes ahead and every other event (the user's input among them)
// waits for the load to end. A load that fails puts the surface back as it was.

#include <QRect>
#include <QSize>
#include <functional>

class PictureBox;
class PictureLoading;
struct PictureLoad;

class LoadingView
{
  public:
    explicit LoadingView(PictureBox& surface);
    ~LoadingView();
    LoadingView(const LoadingView&) = delete;
    LoadingView& operator=(const LoadingView&) = delete;

    // Shows the picture's rows as they come until the load ends, and hands
    // over its result. A surface whose window is not shown yet tells
    // whenViewFilled once the rows it would show have come (or the load ended,
    // or a moment passed), to show the window then.
    PictureLoad follow(PictureLoading& loading, const std::function<void()>& whenViewFilled = {});

    // The picture loaded: the document takes over the surface.
    void loaded() { m_done = true; }
    // The load failed: the surface shows what it showed before.
    void restore();

  private:
    void show(QSize size);
    // Paints what of area is in view, now.
    void paint(const QRect& area);

    PictureBox& m_surface;
    // What the surface showed before the load, for a load that fails.
    QRect m_geometry;
    double m_zoom;
    bool m_showing = false;
    bool m_done = false;
    int m_painted = 0;
};
