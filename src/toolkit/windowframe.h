#pragma once

// The frame (border, title bar) that the window manager puts around a
// top-level window, known before the window is first shown, so that a window
// can be given its outer size before it appears. Qt learns the frame only once
// the window has been mapped; sized before that, the outer size would land on
// the client area and the window would come up larger by its frame.

#include <QMargins>
#include <QPoint>
#include <QSize>

class QWidget;

namespace windowframe {

// The frame around the window in device-independent pixels. On X11 this is the
// window manager's word (_NET_FRAME_EXTENTS), asked for before the first
// showing and awaited for a moment; elsewhere, or with a window manager that
// does not answer, what Qt knows (nothing before the window is shown).
QMargins of(const QWidget* window);

// Asks the window manager for the window's frame at once, without waiting for
// the answer, so that it has come by the time the window is sized: called first
// thing, the answer costs the start-up nothing.
void askEarly(QWidget* window);

// The window's size with its frame.
QSize outerSize(const QWidget* window);

// Resizes the window so that its size with its frame is outer (at least 1 x 1
// inside the frame).
void resizeOuter(QWidget* window, QSize outer);

// Moves the window so that the outer top-left corner of its frame stands at
// topLeft.
void moveOuter(QWidget* window, QPoint topLeft);

} // namespace windowframe
