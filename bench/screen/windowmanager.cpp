#include "windowmanager.h"

#include <QDeadlineTimer>
#include <QThread>
#include <cstdlib>
#include <xcb/xcb.h>

bool windowManagerTakesWindows(const char* display, int waitMs)
{
    xcb_connection_t* connection = xcb_connect(display, nullptr);
    bool managed = false;
    if (!xcb_connection_has_error(connection)) {
        // A window of our own, mapped, and looked at until the manager has put
        // it into a frame.
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        const xcb_window_t window = xcb_generate_id(connection);
        xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, root, 0, 0, 10, 10, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_map_window(connection, window);
        xcb_flush(connection);
        const QDeadlineTimer deadline(waitMs);
        while (!managed && !deadline.hasExpired()) {
            auto* tree =
                xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
            managed = tree && tree->parent != root;
            std::free(tree);
            if (!managed)
                QThread::msleep(10);
        }
        xcb_destroy_window(connection, window);
        xcb_flush(connection);
    }
    xcb_disconnect(connection);
    return managed;
}
