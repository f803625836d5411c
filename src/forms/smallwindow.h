#pragma once

// What the options dialog and the About box share: a fixed dialog frame with
// only a close box, kept above the main window without being its child.

#include <QWidget>

namespace smallwindow {

// Frame flags of a fixed dialog window: caption and close box, no minimise or
// maximise button.
Qt::WindowFlags flags();

// Shows a parentless window in front of its owner. The window's transient
// parent is the owner's native window, which keeps it above the owner and out
// of the task bar, while disabling the owner leaves the window usable.
void showAbove(QWidget* window, QWidget* owner);

} // namespace smallwindow
