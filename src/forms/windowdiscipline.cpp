#include "forms/windowdiscipline.h"

WindowDiscipline::WindowDiscipline(std::function<QList<QWidget*>()> windows)
    : m_windows(std::move(windows))
{
}

void WindowDiscipline::opened(const QWidget* window)
{
    enableAllBut(window, false);
}

void WindowDiscipline::closed(const QWidget* window)
{
    enableAllBut(window, true);
}

void WindowDiscipline::enableAllBut(const QWidget* window, bool enabled)
{
    for (QWidget* other : m_windows()) {
        if (other && other != window)
            other->setEnabled(enabled);
    }
}
