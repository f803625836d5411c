#pragma once

// A private X server (Xvfb) on a free display, with openbox on it when asked,
// for measuring programs on a real X11 screen without touching the user's.

#include <QString>
#include <sys/types.h>

namespace screen {

class PrivateX
{
  public:
    // Starts Xvfb with a screen of the given size, then the window manager if
    // asked; ok() tells whether both came up.
    PrivateX(const QString& size, bool withWindowManager);
    ~PrivateX();
    PrivateX(const PrivateX&) = delete;
    PrivateX& operator=(const PrivateX&) = delete;

    bool ok() const { return !m_display.isEmpty(); }
    QString display() const { return m_display; } // ":N"

  private:
    pid_t m_server = -1;
    pid_t m_manager = -1;
    QString m_display;
};

// Starts a program with its output thrown away, DISPLAY set and Qt's platform
// set to X11; -1 on failure.
pid_t spawnOnDisplay(const QStringList& command, const QString& display);

// Ends a program started here and waits for it.
void stopProgram(pid_t pid);

} // namespace screen
