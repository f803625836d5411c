#pragma once

// Whether the X server's window manager takes new windows in yet: openbox
// names itself on the root before it has finished starting, and a window
// mapped in between is never managed, nor shown.
bool windowManagerTakesWindows(int waitMs);
