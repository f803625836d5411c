#include "session.h"

#include "forms/frmoption.h"
#include "toolkit/picturebox.h"

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
    return m_app.main->picmain->client();
}

bool Session::open(const QString& path)
{
    const qsizetype errorsBefore = m_app.prompter.errors.size();
    m_app.open(path);
    flush();
    return m_app.prompter.errors.size() == errorsBefore && !window().picmain->picture().isNull();
}

void Session::forgetPicture()
{
    window().picmain->setPicture(QImage());
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
    window().option->kaizoudo->setText(QString::number(quality));
    window().option->pro->setChecked(progressive);
}

void Session::setPenWidth(int pixels)
{
    // The pen is as wide as the font size chosen in the font dialog.
    QFont font;
    font.setPointSize(pixels);
    m_app.prompter.fonts.push_back(font);
    click(window().btmfont);
}

void Session::click(QPushButton* button)
{
    button->click();
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
