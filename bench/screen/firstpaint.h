#pragma once

// Time from starting a program to the first painting of its window on an X
// server, seen by the server itself: every window created at the root gets an
// XDamage object, and the first damage to a window of the program's process
// (_NET_WM_PID) is its first painted frame. Optionally the wait goes on until
// a rectangle of that window is no longer one colour, or shows given pixels,
// as a picture's pixels do once a program has painted them.

#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

namespace screen {

struct PaintWatch
{
    enum class Until { FirstPaint, NotUniform, Matches };
    Until until = Until::FirstPaint;
    QRect rect;      // in the window's client area; for NotUniform and Matches
    QImage expected; // for Matches: the pixels the rectangle must show
    int timeoutMs = 20000;
};

// Starts command on display, waits for what watch asks and ends the program.
// Milliseconds from just before the start to the damage event after which the
// condition held; nullopt when it did not within the time-out.
std::optional<double> timeToPaint(const QString& display, const QStringList& command,
                                  const PaintWatch& watch);

} // namespace screen
