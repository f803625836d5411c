// A pointer for a headless Wayland compositor, which has no input devices of
// its own: a virtual pointer device (wlr-virtual-pointer) whose motion and
// button events go through the compositor's seat like a mouse's.
//
//   wlpointer hold WIDTH HEIGHT        keeps a pointer plugged in until the compositor ends
//   wlpointer move WIDTH HEIGHT X Y     moves the pointer to (X, Y) on a WIDTH x HEIGHT screen
//   wlpointer click WIDTH HEIGHT X Y    moves there and clicks the left button
//
// A client binds its wl_pointer only once the seat announces a pointer, so
// `hold` runs for the whole test: the short-lived devices of `move` and
// `click` then never take the seat's pointer away.

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

struct globals
{
    struct wl_seat* seat;
    struct zwlr_virtual_pointer_manager_v1* manager;
};

static void global_added(void* data, struct wl_registry* registry, uint32_t name,
                         const char* interface, uint32_t version)
{
    struct globals* g = data;
    (void)version;
    if (strcmp(interface, wl_seat_interface.name) == 0 && !g->seat)
        g->seat = wl_registry_bind(registry, name, &wl_seat_interface, 1);
    else if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        g->manager =
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
}

static void global_removed(void* data, struct wl_registry* registry, uint32_t name)
{
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {global_added, global_removed};

static uint32_t now_ms(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (uint32_t)(ts.tv_sec * 1000 + ts.tv_nsec / 1000000);
}

static int usage(void)
{
    fputs("usage: wlpointer hold WIDTH HEIGHT | move WIDTH HEIGHT X Y | click WIDTH HEIGHT X Y\n",
          stderr);
    return 2;
}

static int read_number(const char* text, uint32_t* value)
{
    char* end = NULL;
    const long n = strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || n < 0 || n > 65535)
        return 0;
    *value = (uint32_t)n;
    return 1;
}

static void button(struct zwlr_virtual_pointer_v1* pointer, enum wl_pointer_button_state state)
{
    zwlr_virtual_pointer_v1_button(pointer, now_ms(), BTN_LEFT, state);
    zwlr_virtual_pointer_v1_frame(pointer);
}

int main(int argc, char* argv[])
{
    if (argc < 4)
        return usage();
    const char* command = argv[1];
    const int hold = strcmp(command, "hold") == 0;
    const int click = strcmp(command, "click") == 0;
    if (!hold && !click && strcmp(command, "move") != 0)
        return usage();
    if (argc != (hold ? 4 : 6))
        return usage();
    uint32_t width, height, x = 0, y = 0;
    if (!read_number(argv[2], &width) || !read_number(argv[3], &height) || width == 0 ||
        height == 0 || (!hold && (!read_number(argv[4], &x) || !read_number(argv[5], &y))))
        return usage();

    struct wl_display* display = wl_display_connect(NULL);
    if (!display) {
        fputs("wlpointer: no Wayland display (is WAYLAND_DISPLAY set?)\n", stderr);
        return 1;
    }
    struct globals g = {NULL, NULL};
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, &g);
    wl_display_roundtrip(display);
    if (!g.seat || !g.manager) {
        fputs("wlpointer: the compositor offers no seat or no virtual pointers\n", stderr);
        return 1;
    }

    struct zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.manager, g.seat);
    if (hold) {
        wl_display_roundtrip(display);
        // Ends when the compositor closes the connection.
        while (wl_display_dispatch(display) != -1) {
        }
        return 0;
    }
    zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), x, y, width, height);
    zwlr_virtual_pointer_v1_frame(pointer);
    if (click) {
        button(pointer, WL_POINTER_BUTTON_STATE_PRESSED);
        button(pointer, WL_POINTER_BUTTON_STATE_RELEASED);
    }
    // Delivered before the device goes away.
    const int delivered = wl_display_roundtrip(display) != -1;
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return delivered ? 0 : 1;
}
