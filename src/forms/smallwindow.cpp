#include "forms/smallwindow.h"

#include <QWindow>

namespace smallwindow {

Qt::WindowFlags flags()
{
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

void showAbove(QWidget* window, QWidget* owner)
{
    window->winId(); // creates the native window, so that it has a handle
    QWindow* ownerWindow = owner ? owner->windowHandle() : nullptr;
    if (ownerWindow && window->windowHandle()->transientParent() != ownerWindow)
        window->windowHandle()->setTransientParent(ownerWindow);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace smallwindow
