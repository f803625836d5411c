# Sourced after lib.sh by the Wayland test: a headless sway instead of Xvfb and
# openbox, and the helpers of lib.sh that drive and read the screen redone for
# Wayland. Pointer input comes from a virtual pointer device (our small
# snipwell_wlpointer), keys from wtype's virtual keyboard, both real input
# devices of the compositor's seat; screenshots from grim, the clipboard from
# wl-paste, window geometry from sway's layout tree. The window's id (E2E_WIN)
# is sway's container id.
# shellcheck shell=bash

E2E_APP_ID=io.github.snipwell.Snipwell
E2E_SCREEN_W=1280
E2E_SCREEN_H=1024
# sway refuses to run as root: then it and every client run as nobody.
e2e_wl_user=()
# The command prefix that runs a client of the compositor (set once it runs).
E2E_WL=()
# How the main window came to the compositor: xdg_shell is a Wayland window.
E2E_SHELL=

e2e_wl() {
    "${E2E_WL[@]}" "$@"
}

# Hands files to the user the compositor's clients run as.
e2e_wl_own() {
    [ "${#e2e_wl_user[@]}" -eq 0 ] || chown -R nobody "$@"
}

# The compositor's display and control sockets, once both are in its runtime folder.
e2e_wl_sockets_ready() {
    local display control
    for display in "$1"/wayland-[0-9]; do
        [ -S "$display" ] || continue
        for control in "$1"/sway-ipc.*.sock; do
            [ -S "$control" ] || return 1
            WAYLAND_DISPLAY=${display##*/} SWAYSOCK=$control
            return 0
        done
    done
    return 1
}

# Starts sway on its headless backend with one E2E_SCREEN_W x E2E_SCREEN_H
# output and no XWayland, so that nothing can run through X by mistake, and
# plugs in a pointer that stays for the whole test.
e2e_start_wayland() {
    e2e_need_debian sway swaymsg grim wl-paste wtype setpriv
    # Built only where CMake found the Wayland client library and its scanner.
    if [ ! -x "${SNIPWELL_WLPOINTER:-}" ]; then
        e2e_need_debian wayland-scanner
        e2e_fail "snipwell_wlpointer was not built: configure again after scripts/deps.sh"
    fi
    e2e_environment
    unset DISPLAY
    export QT_QPA_PLATFORM=wayland
    # The compositor's runtime folder, with its sockets, belongs to its user.
    local runtime="$E2E_TMP/wayland-runtime"
    mkdir -m 700 "$runtime"
    if [ "$(id -u)" -eq 0 ]; then
        e2e_wl_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
        chown nobody "$HOME" "$runtime"
    fi
    cat >"$E2E_TMP/sway.config" <<EOF
output HEADLESS-1 resolution ${E2E_SCREEN_W}x${E2E_SCREEN_H} position 0 0
xwayland disable
default_border normal
for_window [app_id="$E2E_APP_ID"] floating enable
EOF
    chmod 644 "$E2E_TMP/sway.config"
    "${e2e_wl_user[@]}" env HOME="$HOME" XDG_RUNTIME_DIR="$runtime" \
        WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        sway -c "$E2E_TMP/sway.config" >"$E2E_TMP/sway.log" 2>&1 &
    e2e_pids+=($!)
    e2e_until 20 "the compositor" e2e_wl_sockets_ready "$runtime"
    E2E_WL=("${e2e_wl_user[@]}" env HOME="$HOME" XDG_RUNTIME_DIR="$runtime"
        WAYLAND_DISPLAY="$WAYLAND_DISPLAY" SWAYSOCK="$SWAYSOCK")
    "${E2E_WL[@]}" "$SNIPWELL_WLPOINTER" hold "$E2E_SCREEN_W" "$E2E_SCREEN_H" \
        >"$E2E_TMP/pointer.log" 2>&1 &
    e2e_pids+=($!)
    # A keyboard too, so that the program keeps its keyboard between the short
    # typings of e2e_keys; it would press Escape after an hour, but the test
    # ends it long before.
    "${E2E_WL[@]}" wtype -s 3600000 -k Escape >"$E2E_TMP/keyboard.log" 2>&1 &
    e2e_pids+=($!)
    # The pointer out of the way of the picture the test looks for.
    e2e_until 10 "the pointer" e2e_move_at $((E2E_SCREEN_W - 1)) $((E2E_SCREEN_H - 1))
}

e2e_failure_screenshot() {
    if [ "${#E2E_WL[@]}" -gt 0 ]; then
        e2e_wl grim - >"$E2E_TMP/failure.png" 2>/dev/null || true
    fi
}

# "ID X Y WIDTH HEIGHT SHELL APP-ID FOCUSED" for every window of the program.
e2e_views() {
    e2e_wl swaymsg -t get_tree -r | "$E2E_TOOL" views - "$E2E_PID"
}

e2e_find_main_window() {
    local id shell
    read -r id _ _ _ _ shell _ < <(e2e_views | awk -v app="$E2E_APP_ID" '$7 == app' | head -n1)
    [ -n "${id:-}" ] || return 1
    E2E_WIN=$id E2E_SHELL=$shell
}

e2e_client_geometry() {
    e2e_views | awk -v id="$1" '$1 == id {print $2, $3, $4, $5}'
}

e2e_grab_window() {
    local x y w h
    read -r x y w h < <(e2e_client_geometry "$1")
    [ -n "${h:-}" ] || return 1
    e2e_wl grim -g "$x,$y ${w}x$h" - >"$2"
}

e2e_move_at() {
    e2e_wl "$SNIPWELL_WLPOINTER" move "$E2E_SCREEN_W" "$E2E_SCREEN_H" "$1" "$2"
}

e2e_click_at() {
    e2e_wl "$SNIPWELL_WLPOINTER" click "$E2E_SCREEN_W" "$E2E_SCREEN_H" "$1" "$2"
}

e2e_clipboard_has_png() {
    e2e_wl timeout 5 wl-paste --list-types 2>/dev/null | grep -qx 'image/png'
}

e2e_copy_piece() {
    e2e_click_tool paste
    e2e_until 20 "the piece on the clipboard" e2e_clipboard_has_png
    e2e_wl timeout 10 wl-paste --type image/png >"$1" || e2e_fail "could not read the clipboard"
}

e2e_find_dialog() {
    local id focused
    read -r id focused < <(e2e_views | awk -v main="$E2E_WIN" '$1 != main {print $1, $8}' |
        head -n1)
    [ -n "${id:-}" ] && [ "$focused" = 1 ] || return 1
    E2E_DIALOG=$id
}

e2e_dialog_gone() {
    ! e2e_views | awk '{print $1}' | grep -qx "$E2E_DIALOG"
}

e2e_wait_dialog() {
    E2E_DIALOG=
    e2e_until 20 "a focused dialog of the program" e2e_find_dialog
}

# Keys through a virtual keyboard of their own.
e2e_keys() {
    e2e_wl wtype "$@"
}

e2e_answer_file_dialog() {
    e2e_wait_dialog
    e2e_keys -M ctrl a -m ctrl
    e2e_keys "$1"
    e2e_keys -k Return
    e2e_until 20 "the file dialog to close" e2e_dialog_gone
}

# Asks the window to close, as the compositor's close button or keys do, and
# waits for the program to end by itself, successfully.
e2e_close_program() {
    e2e_wl swaymsg "[con_id=$E2E_WIN] kill" >/dev/null
    e2e_until 30 "the program to end" e2e_program_ended
    wait "$E2E_PID" || e2e_fail "the program ended with status $?"
}
