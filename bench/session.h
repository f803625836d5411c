#pragma once

// One Snipwell main window on the offscreen platform, driven the way a user
// drives it: the open and save dialogs answered by a script, the tools chosen
// with their buttons, and the mouse as real events sent to the picture surface.
// Every step ends with the event loop's repaint, so measured steps include
// painting what they changed.

#include "testpictures.h"

#include <QEvent>
#include <QPoint>
#include <QString>

namespace bench {

class Session : public QObject
{
  public:
    Session();
    ~Session() override;

    frmmain& window() { return *m_app.main; }
    QWidget* surface() const;

    // Opens path through "開く(&O)" with the dialog answering path; true when
    // the picture was loaded and no error was shown.
    bool open(const QString& path);
    // Drops the loaded picture, so the next open starts from an empty surface.
    void forgetPicture();
    // Saves the piece through savepicture with the dialog answering path.
    bool save(const QString& path);
    void setJpegOptions(int quality, bool progressive);
    void setPenWidth(int pixels);

    // Clicks a button of the main window, by its design name.
    void click(const char* button);
    // Types text into the Text box.
    void setText(const QString& text);
    // Scrolls the viewport so that the picture pixel at stands near its top-left corner.
    void scrollTo(QPoint at);
    void press(QPoint at);
    void move(QPoint to, bool buttonHeld);
    void release(QPoint at);

    // Runs the posted events, among them the repaint of what the last step changed.
    void flush();
    // Lets the program finish what it does after a step in the background.
    void settle();
    template <typename Control> Control* find(const char* name) const
    {
        return m_app.find<Control>(name);
    }
    // Paint events received by the window's widgets since the last call.
    int takePaintCount();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void sendMouse(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons);

    TestApp m_app;
    int m_paints = 0;
};

} // namespace bench
