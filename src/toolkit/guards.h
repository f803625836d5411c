#pragma once

// Small guards the handlers share.

#include <QGuiApplication>

// The busy cursor stays up exactly as long as a long load or save runs,
// whichever way it ends.
class BusyCursor
{
  public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Runs one step of a handler whose steps must all run whatever one of them
// does; nothing escapes into Qt's event loop.
template <typename Step> void runGuarded(Step step)
{
    try {
        step();
    } catch (...) {
    }
}
