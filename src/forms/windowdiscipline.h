#pragma once

// Which windows take input. The options dialog and the About box are ordinary
// windows, yet while one of them is shown every other window of the program
// (the main window, the preview, the other dialog) takes no input; when it
// closes they all do again. The rule lives here and nowhere else.

#include <QList>
#include <QWidget>
#include <functional>

class WindowDiscipline
{
  public:
    // windows lists the program's windows as they are at the moment of asking;
    // windows that are not open are null.
    explicit WindowDiscipline(std::function<QList<QWidget*>()> windows);

    // Disables every window but the one just opened.
    void opened(const QWidget* window);
    // Enables every window but the one that closes.
    void closed(const QWidget* window);

  private:
    void enableAllBut(const QWidget* window, bool enabled);

    std::function<QList<QWidget*>()> m_windows;
};
