#include "session.h"

#include "stats.h"
#include "toolkit/picturebox.h"
#include "toolkit/scrollbar.h"
#include "units/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QWindow>

namespace bench {

Session::Session()
{
    window().show();
    // The offscreen platform exposes a shown window at once; the loop runs its first paint.
    for (int i = 0; i < 100 && !(window().windowHandle() && window().windowHandle()->isExposed());
         ++i)
        flush();
    flush();
    qApp->installEventFilter(this);
}

Session::~Session()
{
    qApp->removeEventFilter(this);
}

QWidget* Session::surface() const
{
    return m_app.surface();
}

bool Session::open(const QString& path)
{
    const qsizetype errorsBefore = m_app.prompter.errors.size();
    m_app.open(path);
    flush();
    return m_app.prompter.errors.size() == errorsBefore && !window().document().picture().isNull();
}

void Session::forgetPicture()
{
    // A new main window holds no picture at all.
    m_app.restart();
    window().show();
    flush();
}

bool Session::save(const QString& path)
{
    const qsizetype errorsBefore = m_app.prompter.errors.size();
    m_app.prompter.files.push_back(path);
    window().savepicture();
    flush();
    return m_app.prompter.errors.size() == errorsBefore && QFileInfo(path).size() > 0;
}

void Session::setJpegOptions(int quality, bool progressive)
{
    m_app.setJpegOptions(QString::number(quality), progressive);
}

void Session::setPenWidth(int pixels)
{
    // The pen is as wide as the font size chosen in the font dialog.
    m_app.chooseFontSize(static_cast<float>(pixels));
    flush();
}

void Session::click(const char* button)
{
    m_app.button(button)->click();
    flush();
}

void Session::setText(const QString& text)
{
    m_app.find<QLineEdit>("textbox")->setText(text);
}

void Session::scrollTo(QPoint at)
{
    constexpr int kMargin = 20;
    const auto scroll = [](ScrollBar* bar, int pixel) {
        const int value = static_cast<int>(twips::fromPixels(std::max(0, pixel - kMargin)));
        bar->setValue(std::min(value, bar->Max()));
    };
    scroll(m_app.find<ScrollBar>("HScroll"), at.x());
    scroll(m_app.find<ScrollBar>("VScroll"), at.y());
    flush();
}

void Session::press(QPoint at)
{
    sendMouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    flush();
}

void Session::move(QPoint to, bool buttonHeld)
{
    sendMouse(QEvent::MouseMove, to, Qt::NoButton, buttonHeld ? Qt::LeftButton : Qt::NoButton);
    flush();
}

void Session::release(QPoint at)
{
    sendMouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    flush();
}

void Session::sendMouse(QEvent::Type type, QPoint at, Qt::MouseButton button,
                        Qt::MouseButtons buttons)
{
    QWidget* target = surface();
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void Session::flush()
{
    QCoreApplication::processEvents();
}

void Session::settle()
{
    const Stopwatch watch;
    while (watch.milliseconds() < 500)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

int Session::takePaintCount()
{
    return std::exchange(m_paints, 0);
}

bool Session::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Paint && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == m_app.main.get())
        ++m_paints;
    return false;
}

} // namespace bench
