#pragma once

// Whether the window manager of an X server (display, or $DISPLAY when null)
// takes a new window in within waitMs: openbox names itself on the root before
// it has finished starting, and a window mapped in between is never managed,
// nor shown. Ask again with a new call: each maps a window of its own.
bool windowManagerTakesWindows(const char* display, int waitMs);
