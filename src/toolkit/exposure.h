#pragma once

class QWidget;

// Shows a window and runs the event loop, the user's input left waiting, until
// the window stands on the screen and has painted (a second at the most).
void showWithoutInput(QWidget& window);
