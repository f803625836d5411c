#include "toolkit/exposure.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <QWindow>

namespace {
constexpr qint64 kLongestWait = 1000; // milliseconds
}

void showWithoutInput(QWidget& window)
{
    window.show();
    QElapsedTimer waited;
    waited.start();
    while (!(window.windowHandle() && window.windowHandle()->isExposed()) &&
           waited.elapsed() < kLongestWait)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
