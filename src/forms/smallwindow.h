#pragma once

// What the options dialog and the About box share: a fixed dialog frame with
// only a close box, kept above the main window without being its child, and
// the enabling of the windows they keep from taking input while shown.

#include <QWidget>
#include <initializer_list>

namespace smallwindow {

// Frame flags of a fixed dialog window: caption and close box, no minimise or
// maximise button.
Qt::WindowFlags flags();

// Shows a parentless window in front of its owner. The window's transient
// parent is the owner's native window, which keeps it above the owner and out
// of the task bar, while disabling the owner leaves the window usable.
void showAbove(QWidget* window, QWidget* owner);

// Enables or disables each window given; null ones (not open) are skipped.
void setEnabled(std::initializer_list<QWidget*> windows, bool enabled);

} // namespace smallwindow
