#include "toolkit/windowframe.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

namespace windowframe {

namespace {

// How long to wait for the window manager's answer; it takes a few
// milliseconds, and a manager that never answers costs no more than this.
constexpr int kAnswerMs = 300;

xcb_connection_t* x11Connection()
{
    const auto* x11 =
        qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const auto cookie = xcb_intern_atom(connection, 0, std::strlen(name), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return value;
}

xcb_window_t rootOf(xcb_connection_t* connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// The 32-bit values of a window's property (up to a thousand), as long as at
// least count are there.
std::optional<std::vector<std::uint32_t>> cardinals(xcb_connection_t* connection,
                                                    xcb_window_t window, xcb_atom_t property,
                                                    xcb_atom_t type, std::uint32_t count)
{
    constexpr std::uint32_t kMostValues = 1024;
    const auto cookie = xcb_get_property(connection, 0, window, property, type, 0, kMostValues);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    std::optional<std::vector<std::uint32_t>> values;
    if (reply && reply->format == 32 && reply->value_len >= count) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        values.emplace(data, data + reply->value_len);
    }
    std::free(reply);
    return values;
}

bool managerAnswersRequests(xcb_connection_t* connection, xcb_atom_t request)
{
    static const xcb_atom_t supportedAtom = atom(connection, "_NET_SUPPORTED");
    const auto supported =
        cardinals(connection, rootOf(connection), supportedAtom, XCB_ATOM_ATOM, 1);
    return supported &&
           std::find(supported->begin(), supported->end(), request) != supported->end();
}

// Asks the window manager to set _NET_FRAME_EXTENTS on the window; false when
// it does not take such requests.
bool requestExtents(xcb_connection_t* connection, xcb_window_t window)
{
    static const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (!managerAnswersRequests(connection, request))
        return false;
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request;
    xcb_send_event(connection, 0, rootOf(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
    return true;
}

// _NET_FRAME_EXTENTS of the window (left, right, top, bottom, in screen
// pixels); asks the window manager for it when it is not set yet.
std::optional<QMargins> x11Extents(xcb_connection_t* connection, xcb_window_t window)
{
    // Atoms are the server's for good; asked once (Qt keeps one connection).
    static const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");
    const auto read = [&]() -> std::optional<QMargins> {
        const auto values = cardinals(connection, window, extents, XCB_ATOM_CARDINAL, 4);
        if (!values)
            return std::nullopt;
        const auto& v = *values;
        return QMargins(int(v[0]), int(v[2]), int(v[1]), int(v[3]));
    };
    if (const auto known = read())
        return known;
    if (!requestExtents(connection, window))
        return std::nullopt;
    // Qt reads the X events on a thread of its own, so the answer is looked for
    // in the property rather than waited for as an event.
    const QDeadlineTimer deadline(kAnswerMs);
    while (!deadline.hasExpired()) {
        if (const auto answered = read())
            return answered;
        QThread::usleep(500);
    }
    return std::nullopt;
}

QMargins scaled(const QMargins& device, qreal ratio)
{
    return QMargins(qRound(device.left() / ratio), qRound(device.top() / ratio),
                    qRound(device.right() / ratio), qRound(device.bottom() / ratio));
}

// The frame where it can be told: the window manager's word on X11, else Qt's
// once the window is shown. Hidden elsewhere, Qt does not know it yet.
std::optional<QMargins> knownFrame(const QWidget* window)
{
    if (xcb_connection_t* connection = x11Connection()) {
        const auto native = static_cast<xcb_window_t>(window->winId());
        if (const auto extents = x11Extents(connection, native))
            return scaled(*extents, window->windowHandle()->devicePixelRatio());
    }
    if (!window->isVisible())
        return std::nullopt;
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                    outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

// Sized while its frame was unknown, a window gets its outer size again as
// soon as it is shown with a frame.
class SizeOnFirstFrame : public QObject
{
  public:
    static inline const QString kName = QStringLiteral("windowframe-size-on-first-frame");

    SizeOnFirstFrame(QWidget* window, QSize outer) : QObject(window), m_outer(outer)
    {
        setObjectName(kName);
        window->installEventFilter(this);
    }

    static SizeOnFirstFrame* of(QWidget* window)
    {
        // Found by name: without a meta-object of its own, a cast could not tell it apart.
        return static_cast<SizeOnFirstFrame*>(
            window->findChild<QObject*>(kName, Qt::FindDirectChildrenOnly));
    }
    void setOuter(QSize outer) { m_outer = outer; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* window = static_cast<QWidget*>(watched);
        const bool placed = event->type() == QEvent::Show || event->type() == QEvent::Move ||
                            event->type() == QEvent::Resize;
        if (!placed || !window->isVisible())
            return false;
        const QSize frame = window->frameGeometry().size() - window->size();
        if (frame == QSize(0, 0))
            return false;
        window->removeEventFilter(this);
        deleteLater();
        const QSize inner = m_outer - frame;
        if (inner != window->size())
            window->resize(std::max(1, inner.width()), std::max(1, inner.height()));
        return false;
    }

  private:
    QSize m_outer;
};

} // namespace

QMargins of(const QWidget* window)
{
    return knownFrame(window->window()).value_or(QMargins());
}

void askEarly(QWidget* window)
{
    if (xcb_connection_t* connection = x11Connection())
        requestExtents(connection, static_cast<xcb_window_t>(window->winId()));
}

QSize outerSize(const QWidget* window)
{
    return window->size().grownBy(of(window));
}

void resizeOuter(QWidget* window, QSize outer)
{
    SizeOnFirstFrame* pending = SizeOnFirstFrame::of(window);
    const std::optional<QMargins> frame = knownFrame(window);
    if (!frame && pending)
        pending->setOuter(outer);
    else if (!frame)
        new SizeOnFirstFrame(window, outer);
    else if (pending)
        delete pending;
    const QSize inner = outer.shrunkBy(frame.value_or(QMargins()));
    window->resize(std::max(1, inner.width()), std::max(1, inner.height()));
}

void moveOuter(QWidget* window, QPoint topLeft)
{
    // A window not created yet is placed by its frame when it is; a shown one
    // knows its frame. A created, hidden one would be placed by its client
    // area, so the frame is added here.
    if (!window->testAttribute(Qt::WA_WState_Created) || window->isVisible()) {
        window->move(topLeft);
        return;
    }
    const QMargins frame = of(window);
    window->move(topLeft + QPoint(frame.left(), frame.top()));
}

} // namespace windowframe
