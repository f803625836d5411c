#include "firstpaint.h"

#include "privatex.h"

#include <QDeadlineTimer>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <poll.h>
#include <vector>
#include <xcb/damage.h>
#include <xcb/xcb.h>

namespace screen {

namespace {

using Clock = std::chrono::steady_clock;

template <typename Reply> struct Freed
{
    Reply* reply;
    ~Freed() { std::free(reply); }
    Reply* operator->() const { return reply; }
    explicit operator bool() const { return reply != nullptr; }
};

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const Freed<xcb_intern_atom_reply_t> reply{xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr)};
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

std::optional<std::uint32_t> processOf(xcb_connection_t* connection, xcb_window_t window,
                                       xcb_atom_t pidAtom)
{
    const Freed<xcb_get_property_reply_t> reply{xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1),
        nullptr)};
    if (!reply || reply->format != 32 || reply->value_len != 1)
        return std::nullopt;
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(reply.reply));
}

// Whether the rectangle of the window shows what the watch waits for. The
// screen is 24-bit TrueColor (Xvfb's default): one pixel in 32 bits, 0xRRGGBB.
bool rectangleHolds(xcb_connection_t* connection, xcb_window_t window, const PaintWatch& watch)
{
    const QRect r = watch.rect;
    const Freed<xcb_get_image_reply_t> reply{
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                                          std::int16_t(r.x()), std::int16_t(r.y()),
                                          std::uint16_t(r.width()), std::uint16_t(r.height()), ~0u),
                            nullptr)};
    const auto count = std::size_t(r.width()) * std::size_t(r.height());
    if (!reply || reply->depth != 24 ||
        std::size_t(xcb_get_image_data_length(reply.reply)) != count * 4)
        return false;
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(reply.reply));
    if (watch.until == PaintWatch::Until::NotUniform) {
        for (std::size_t i = 1; i < count; ++i) {
            if ((pixels[i] & 0xFFFFFF) != (pixels[0] & 0xFFFFFF))
                return true;
        }
        return false;
    }
    const QImage expected = watch.expected.convertToFormat(QImage::Format_RGB32);
    if (expected.size() != r.size())
        return false;
    for (int y = 0; y < r.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(expected.constScanLine(y));
        for (int x = 0; x < r.width(); ++x) {
            if ((pixels[std::size_t(y) * r.width() + x] & 0xFFFFFF) != (line[x] & 0xFFFFFF))
                return false;
        }
    }
    return true;
}

// Watches the server's windows from one connection of its own.
class DamageWatcher
{
  public:
    explicit DamageWatcher(const QString& display)
        : m_connection(xcb_connect(display.toLocal8Bit().constData(), nullptr))
    {
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_query_extension_reply_t* damage =
            xcb_get_extension_data(m_connection, &xcb_damage_id);
        if (!damage || !damage->present)
            return;
        const Freed<xcb_damage_query_version_reply_t> version{xcb_damage_query_version_reply(
            m_connection, xcb_damage_query_version(m_connection, 1, 1), nullptr)};
        if (!version)
            return;
        m_damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_pidAtom = atom(m_connection, "_NET_WM_PID");
        const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_connection);
        m_ready = true;
    }

    ~DamageWatcher() { xcb_disconnect(m_connection); }

    bool ready() const { return m_ready; }

    // Waits for the program's first damage after which the watch holds.
    std::optional<Clock::time_point> wait(std::uint32_t pid, const PaintWatch& watch)
    {
        const QDeadlineTimer deadline(watch.timeoutMs);
        const int fd = xcb_get_file_descriptor(m_connection);
        while (!deadline.hasExpired() && !xcb_connection_has_error(m_connection)) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
                const bool done = handle(event, pid, watch);
                std::free(event);
                if (done)
                    return Clock::now();
            }
            pollfd watched{fd, POLLIN, 0};
            if (poll(&watched, 1, int(std::min<qint64>(deadline.remainingTime(), 100))) == 0 &&
                holdsAlready(pid, watch))
                return Clock::now();
        }
        return std::nullopt;
    }

  private:
    std::optional<std::uint32_t> ownerOf(xcb_window_t window)
    {
        auto owner = m_owners.find(window);
        if (owner == m_owners.end() || !owner->second)
            owner =
                m_owners.insert_or_assign(window, processOf(m_connection, window, m_pidAtom)).first;
        return owner->second;
    }

    // A busy machine may let the program map and paint its window before the
    // watcher has set up the window's damage reports, and then none come: while
    // the server is quiet, the program's windows are looked at as they are.
    bool holdsAlready(std::uint32_t pid, const PaintWatch& watch)
    {
        if (watch.until == PaintWatch::Until::FirstPaint)
            return false;
        for (const xcb_window_t window : m_created) {
            if (ownerOf(window) == pid && rectangleHolds(m_connection, window, watch))
                return true;
        }
        return false;
    }

    bool handle(xcb_generic_event_t* event, std::uint32_t pid, const PaintWatch& watch)
    {
        const int type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* created = reinterpret_cast<xcb_create_notify_event_t*>(event);
            if (created->parent == m_root) {
                const xcb_damage_damage_t damage = xcb_generate_id(m_connection);
                xcb_damage_create(m_connection, damage, created->window,
                                  XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                xcb_flush(m_connection);
                m_created.push_back(created->window);
            }
            return false;
        }
        if (type != m_damageEvent)
            return false;
        const auto* notify = reinterpret_cast<xcb_damage_notify_event_t*>(event);
        // Reported again on the next painting.
        xcb_damage_subtract(m_connection, notify->damage, XCB_NONE, XCB_NONE);
        xcb_flush(m_connection);
        if (ownerOf(notify->drawable) != pid)
            return false;
        return watch.until == PaintWatch::Until::FirstPaint ||
               rectangleHolds(m_connection, notify->drawable, watch);
    }

    xcb_connection_t* m_connection;
    bool m_ready = false;
    int m_damageEvent = -1;
    xcb_window_t m_root = XCB_NONE;
    xcb_atom_t m_pidAtom = XCB_ATOM_NONE;
    std::map<xcb_window_t, std::optional<std::uint32_t>> m_owners;
    std::vector<xcb_window_t> m_created;
};

} // namespace

std::optional<double> timeToPaint(const QString& display, const QStringList& command,
                                  const PaintWatch& watch)
{
    DamageWatcher watcher(display);
    if (!watcher.ready() || command.isEmpty())
        return std::nullopt;
    const Clock::time_point started = Clock::now();
    const pid_t pid = spawnOnDisplay(command, display);
    if (pid <= 0)
        return std::nullopt;
    const std::optional<Clock::time_point> painted = watcher.wait(std::uint32_t(pid), watch);
    stopProgram(pid);
    if (!painted)
        return std::nullopt;
    return std::chrono::duration<double, std::milli>(*painted - started).count();
}

} // namespace screen
