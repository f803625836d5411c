#pragma once

// Whether the windowing system lets a program place its windows and tells it
// where they stand. X11 and Windows do; on Wayland the compositor alone places
// windows, and a window's position always reads as (0, 0).

#include <QString>

namespace windowplacement {

// For a Qt platform plugin by name ("xcb", "wayland", "wayland-egl", ...).
bool platformPlacesWindows(const QString& platformName);

// For the platform this program runs on.
bool platformPlacesWindows();

} // namespace windowplacement
