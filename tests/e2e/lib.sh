# Sourced by the end-to-end tests and the screenshot script: a private X server
# with openbox, the program started from a folder of its own, and helpers that
# drive it from outside with xdotool. Every process started here ends on exit.
# shellcheck shell=bash

E2E_TMP=$(mktemp -d /tmp/snipwell-e2e.XXXXXX)
chmod 755 "$E2E_TMP"
E2E_SCALE=1
E2E_PID=
E2E_WIN=
e2e_pids=()

e2e_cleanup() {
    local status=$? pid
    for pid in "${e2e_pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${e2e_pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    # A failed run keeps its folder (logs, screenshots) for a look.
    if [ "$status" -eq 0 ] || [ "$status" -eq 77 ]; then
        chmod -R u+w "$E2E_TMP" 2>/dev/null || true
        rm -rf "$E2E_TMP"
    else
        echo "kept for inspection: $E2E_TMP" >&2
    fi
}
trap e2e_cleanup EXIT

# What the screen showed when a test failed, kept beside its logs.
e2e_failure_screenshot() {
    if [ -n "${DISPLAY:-}" ]; then
        "$E2E_TOOL" grab "$E2E_TMP/failure.png" 0 0 -1 -1 2>/dev/null || true
    fi
}

e2e_fail() {
    echo "FAIL: $*" >&2
    e2e_failure_screenshot
    for log in "$E2E_TMP"/*.log; do
        [ -s "$log" ] && { echo "--- $log" >&2; tail -n 20 "$log" >&2; }
    done
    exit 1
}

e2e_step() {
    echo "== $*"
}

# Runs a command until it succeeds; fails the test when the deadline passes.
e2e_until() {
    local timeout=$1 what=$2
    shift 2
    local deadline=$((SECONDS + timeout))
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || e2e_fail "timed out after ${timeout}s waiting for $what"
        sleep 0.1
    done
}

# Ends the test as skipped (CTest's SKIP_RETURN_CODE), saying why.
e2e_skip() {
    echo "SKIP: $*"
    exit 77
}

# Tools that only Debian's packages bring here: scripts/deps.sh installs them
# on Debian, where a missing one is a fault; on other systems the test cannot run.
e2e_need_debian() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null && continue
        command -v apt-get >/dev/null || e2e_skip "$tool is missing and this system has no apt"
        e2e_fail "$tool is missing: run scripts/deps.sh"
    done
}

e2e_need() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || e2e_fail "$tool is missing: run scripts/deps.sh"
    done
}

# The program sees a plain X11 desktop: Qt's own dialogs, no scaling unless a
# test asks for it, the JPEG library found the way a user's copy finds it.
e2e_environment() {
    export HOME="$E2E_TMP/home"
    export XDG_CONFIG_HOME="$HOME/.config"
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    export QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=
    unset XDG_CURRENT_DESKTOP DESKTOP_SESSION QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
        QT_ENABLE_HIGHDPI_SCALING SNIPWELL_SAVEJPG QT_STYLE_OVERRIDE
}

# The window manager has named itself and takes new windows in: a window
# mapped while openbox is still starting is never managed.
e2e_wm_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' &&
        "$E2E_TOOL" wm-ready
}

# True once Xvfb (pid $2) serves display $1: its lock file names it and its
# socket is there. False as soon as it has ended (the display was taken).
e2e_x_server_ours() {
    local number=$1 pid=$2 deadline=$((SECONDS + 20))
    while kill -0 "$pid" 2>/dev/null; do
        if [ "$(tr -d ' \n' <"/tmp/.X$number-lock" 2>/dev/null)" = "$pid" ] &&
            [ -S "/tmp/.X11-unix/X$number" ]; then
            return 0
        fi
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
    return 1
}

# Starts Xvfb (E2E_SCREEN pixels), then openbox on it. Other checkouts on this
# machine run these tests at the same time and -displayfd hands them all the
# lowest free numbers, so a random higher one is taken, and only once its lock
# file names our own server.
e2e_start_x() {
    local size=${E2E_SCREEN:-1280x1024} attempt number pid
    e2e_need Xvfb openbox xdotool xprop xwininfo xclip wmctrl
    e2e_environment
    for attempt in 1 2 3 4 5 6 7 8; do
        number=$((200 + RANDOM % 800))
        [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 "${size}x24" -nolisten tcp -ac >>"$E2E_TMP/xvfb.log" 2>&1 &
        pid=$!
        if e2e_x_server_ours "$number" "$pid"; then
            e2e_pids+=("$pid")
            export DISPLAY=":$number"
            openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
            e2e_pids+=($!)
            e2e_until 20 "the window manager" e2e_wm_running
            return 0
        fi
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        echo "display :$number was not ours (attempt $attempt), trying another" >&2
    done
    e2e_fail "found no free X display"
}

# Copies the built program and its JPEG library into a folder of their own, so
# that the settings file it writes beside itself lands there and not in build/.
e2e_copy_program() {
    mkdir -p "$1"
    cp "$SNIPWELL_BIN" "$SNIPWELL_JPEGLIB" "$1/"
}

# The usual scene: a copy of the program in $app, an output folder $out, a
# test pattern of WIDTH x HEIGHT (seed SEED) in $source, and settings as a
# previous run left them: quality 95 (so saved pixels stay close to the
# source), the frame's top-left at (100, 80) pixels.
e2e_prepare_scene() {
    app="$E2E_TMP/app"
    out="$E2E_TMP/out"
    source="$E2E_TMP/source.bmp"
    e2e_copy_program "$app"
    mkdir -p "$out"
    cd "$E2E_TMP"
    "$E2E_TOOL" pattern "$source" "$1" "$2" "$3"
    printf '"95"\r\n0\r\n""\r\n""\r\n1500\r\n1200\r\n' >"$app/setting.ini"
}

# A user of an installed Snipwell, with a home of their own and a folder
# $E2E_TMP/saved to save into. Root, who could write anywhere, has the program
# run as nobody: E2E_USER is the command prefix that runs as the user.
e2e_prepare_user() {
    E2E_USER_HOME="$E2E_TMP/user"
    E2E_USER=()
    mkdir -p "$E2E_USER_HOME" "$E2E_TMP/user-runtime" "$E2E_TMP/saved"
    if [ "$(id -u)" -eq 0 ]; then
        chown nobody "$E2E_USER_HOME" "$E2E_TMP/user-runtime" "$E2E_TMP/saved"
        E2E_USER=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    fi
    chmod 700 "$E2E_TMP/user-runtime"
}

# Opens a picture with the installed program as the user, by the command line a
# file manager makes from the desktop entry's Exec; BINDIR comes first in PATH.
e2e_open_with() {
    local desktop=$1 picture=$2 bindir=$3 command
    read -r -a command < <(sed -n 's/^Exec=//p' "$desktop")
    command=("${command[@]/#%f/$picture}")
    e2e_start_program "${E2E_USER[@]}" env HOME="$E2E_USER_HOME" XDG_CONFIG_HOME= \
        XDG_RUNTIME_DIR="$E2E_TMP/user-runtime" PATH="$bindir:$PATH" "${command[@]}"
}

e2e_find_main_window() {
    local found
    found=$(xdotool search --onlyvisible --pid "$E2E_PID" --name '^Snipwell$' 2>/dev/null |
        head -n1) || return 1
    [ -n "$found" ] || return 1
    # Framed by the window manager: it has told the window its frame's size.
    xprop -id "$found" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '=' || return 1
    E2E_WIN=$found
}

# Starts the program (with its arguments) and waits for its main window.
e2e_start_program() {
    "$@" >>"$E2E_TMP/program.log" 2>&1 &
    E2E_PID=$!
    e2e_pids+=("$E2E_PID")
    e2e_until 30 "the main window" e2e_find_main_window
}

e2e_program_ended() {
    ! kill -0 "$E2E_PID" 2>/dev/null
}

# Closes the main window through the window manager and waits for the program
# to end by itself, successfully.
e2e_close_program() {
    wmctrl -i -c "$E2E_WIN"
    e2e_until 30 "the program to end" e2e_program_ended
    wait "$E2E_PID" || e2e_fail "the program ended with status $?"
}

# "X Y WIDTH HEIGHT" of a window's client area on the screen.
e2e_client_geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x, y, w, h}'
}

# "X Y" of the window's frame, decorations included: what the program stores.
e2e_frame_origin() {
    local left top x y
    read -r left _ top _ < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= *//; s/,//g')
    read -r x y _ < <(e2e_client_geometry "$1")
    echo "$((x - left)) $((y - top))"
}

e2e_grab_window() {
    local x y w h
    read -r x y w h < <(e2e_client_geometry "$1")
    "$E2E_TOOL" grab "$2" "$x" "$y" "$w" "$h"
}

e2e_try_locate() {
    local at
    e2e_grab_window "$E2E_WIN" "$E2E_TMP/window.png" || return 1
    at=$("$E2E_TOOL" locate "$E2E_TMP/window.png" "$1" "$E2E_SCALE" 2>/dev/null) || return 1
    read -r E2E_PICTURE_X E2E_PICTURE_Y <<<"$at"
}

# Finds the picture on screen (each of its pixels a block of E2E_SCALE screen
# pixels) and from it the client area's layout: the picture surface sits inside
# the viewport at (11, 51) pixels below the menu bar.
e2e_find_picture() {
    e2e_until 30 "the picture to show at its own size" e2e_try_locate "$1"
    read -r E2E_CLIENT_X E2E_CLIENT_Y _ < <(e2e_client_geometry "$E2E_WIN")
    [ "$E2E_PICTURE_X" -eq $((11 * E2E_SCALE)) ] ||
        e2e_fail "picture at x=$E2E_PICTURE_X in the window, expected $((11 * E2E_SCALE))"
    E2E_MENU_HEIGHT=$((E2E_PICTURE_Y / E2E_SCALE - 51))
}

# Screen position of picture pixel (X, Y): inside its block, so that the
# position the program reads is that pixel.
e2e_picture_point() {
    echo "$((E2E_CLIENT_X + E2E_PICTURE_X + $1 * E2E_SCALE + E2E_SCALE / 2))" \
        "$((E2E_CLIENT_Y + E2E_PICTURE_Y + $2 * E2E_SCALE + E2E_SCALE / 2))"
}

e2e_move_at() {
    xdotool mousemove "$1" "$2"
}

e2e_click_at() {
    xdotool mousemove "$1" "$2" click 1
}

e2e_click_picture() {
    # shellcheck disable=SC2046
    e2e_click_at $(e2e_picture_point "$1" "$2")
}

e2e_move_picture() {
    # shellcheck disable=SC2046
    e2e_move_at $(e2e_picture_point "$1" "$2")
}

# Clicks a tool-strip button by the centre of its 33-pixel square, given in the
# central area's pixels from its left edge.
e2e_click_tool() {
    local centre
    case "$1" in
    cut) centre=24 ;;
    draw) centre=64 ;;
    text) centre=104 ;;
    erase) centre=152 ;;
    paste) centre=192 ;;
    save) centre=232 ;;
    *) e2e_fail "no tool button $1" ;;
    esac
    e2e_click_at "$((E2E_CLIENT_X + centre * E2E_SCALE))" \
        "$((E2E_CLIENT_Y + (E2E_MENU_HEIGHT + 24) * E2E_SCALE))"
}

# Anchors at (X1, Y1), drags the frame through the middle and completes at (X2, Y2).
e2e_cut() {
    e2e_click_tool cut
    e2e_click_picture "$1" "$2"
    e2e_move_picture $((($1 + $3) / 2)) $((($2 + $4) / 2))
    e2e_move_picture "$3" "$4"
    e2e_click_picture "$3" "$4"
}

e2e_clipboard_has_png() {
    timeout 5 xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx 'image/png'
}

# Copies the piece with the tool-strip button and reads it back as a PNG.
e2e_copy_piece() {
    e2e_click_tool paste
    e2e_until 20 "the piece on the clipboard" e2e_clipboard_has_png
    timeout 10 xclip -selection clipboard -t image/png -o >"$1" ||
        e2e_fail "could not read the clipboard"
}

e2e_find_dialog() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$E2E_PID" --name '.' 2>/dev/null); do
        if [ "$w" != "$E2E_WIN" ] && xprop -id "$w" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='
        then
            E2E_DIALOG=$w
            return 0
        fi
    done
    return 1
}

e2e_dialog_gone() {
    ! xwininfo -id "$E2E_DIALOG" 2>/dev/null | grep -q 'IsViewable'
}

# Waits for a framed window of the program other than the main window.
e2e_wait_dialog() {
    E2E_DIALOG=
    e2e_until 20 "a dialog of the program" e2e_find_dialog
    timeout 5 xdotool windowactivate --sync "$E2E_DIALOG" 2>/dev/null || true
}

# Types a path into the file dialog's name box (replacing what it holds) and accepts.
e2e_answer_file_dialog() {
    e2e_wait_dialog
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 15 "$1"
    xdotool key Return
    e2e_until 20 "the file dialog to close" e2e_dialog_gone
}

e2e_file_written() {
    [ -s "$1" ]
}

# Six records of the settings file, without the line ends, one per line.
e2e_settings_records() {
    tr -d '\r' <"$1"
}

e2e_frame_near() {
    local x y
    read -r x y < <(e2e_frame_origin "$1")
    [ $((x - $2)) -le 2 ] && [ $((x - $2)) -ge -2 ] && [ $((y - $3)) -le 2 ] && [ $((y - $3)) -ge -2 ]
}

# Checks the six records of a settings file against the expected lines.
e2e_check_settings() {
    local file=$1
    shift
    [ -f "$file" ] || e2e_fail "no settings file at $file"
    local expected actual
    expected=$(printf '%s\n' "$@")
    actual=$(e2e_settings_records "$file")
    [ "$actual" = "$expected" ] ||
        e2e_fail "settings file holds:"$'\n'"$actual"$'\n'"expected:"$'\n'"$expected"
    [ "$(grep -c $'\r$' "$file")" -eq 6 ] || e2e_fail "settings lines do not all end in CR LF"
}

# Saves the piece through the save dialog and checks the file with djpeg: the
# cut rectangle's size, and pixels close to that rectangle of the source.
e2e_save_and_check() {
    local target=$1 source=$2 x=$3 y=$4 w=$5 h=$6
    e2e_click_tool save
    e2e_answer_file_dialog "$target"
    e2e_until 20 "the JPEG file $target" e2e_file_written "$target"
    djpeg -pnm -outfile "$E2E_TMP/decoded.ppm" "$target" || e2e_fail "djpeg cannot read $target"
    "$E2E_TOOL" compare "$source" "$x" "$y" "$w" "$h" "$E2E_TMP/decoded.ppm" 10 80 ||
        e2e_fail "the saved JPEG is not the cut rectangle"
    # The same check one pixel off must fail, or it could not tell a wrong piece.
    if "$E2E_TOOL" compare "$source" $((x + 1)) "$y" "$w" "$h" "$E2E_TMP/decoded.ppm" 10 80 \
        >/dev/null 2>&1; then
        e2e_fail "the JPEG check cannot tell a piece one pixel off"
    fi
}

# Cuts (X1, Y1)-(X2, Y2) out of SOURCE on screen, copies the piece and checks
# the clipboard's pixels exactly, then saves it as TARGET and checks the JPEG.
e2e_cut_copy_save() {
    local source=$1 x1=$2 y1=$3 x2=$4 y2=$5 target=$6
    local w=$((x2 - x1)) h=$((y2 - y1))
    e2e_step "cut ($x1,$y1)-($x2,$y2) and copy it"
    e2e_cut "$x1" "$y1" "$x2" "$y2"
    e2e_copy_piece "$E2E_TMP/clipboard.png"
    "$E2E_TOOL" compare "$source" "$x1" "$y1" "$w" "$h" "$E2E_TMP/clipboard.png" 0 0 ||
        e2e_fail "the clipboard does not hold the cut rectangle"
    e2e_step "save through the save dialog"
    e2e_save_and_check "$target" "$source" "$x1" "$y1" "$w" "$h"
}

e2e_popup_shown() {
    local w
    for w in $(xdotool search --onlyvisible --pid "$E2E_PID" 2>/dev/null); do
        [ "$w" != "$E2E_WIN" ] && return 0
    done
    return 1
}

# Chooses a menu item by its mnemonics: the menu's letter with Alt, then the
# item's letter once the menu has opened.
e2e_menu() {
    timeout 5 xdotool windowactivate --sync "$E2E_WIN" 2>/dev/null || true
    xdotool key "alt+$1"
    e2e_until 10 "the menu to open" e2e_popup_shown
    xdotool key "$2"
}

# Answers the open question (the replace question, an error) with a key.
e2e_answer_question() {
    e2e_wait_dialog
    xdotool key "$1"
    e2e_until 10 "the question to close" e2e_dialog_gone
}

e2e_jpeg_width_is() {
    [ "$(djpeg -pnm "$1" 2>/dev/null | head -c 20 | sed -n 2p | cut -d' ' -f1)" = "$2" ]
}

e2e_frame_away_from() {
    ! e2e_frame_near "$@"
}

# Grabs a window with its frame, as a user sees it.
e2e_grab_frame() {
    local left right top bottom x y w h
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= *//; s/,//g')
    read -r x y w h < <(e2e_client_geometry "$1")
    "$E2E_TOOL" grab "$2" $((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom))
}

e2e_grab_frame_twice_alike() {
    e2e_grab_frame "$1" "$E2E_TMP/settle-a.png" &&
        e2e_grab_frame "$1" "$E2E_TMP/settle-b.png" &&
        cmp -s "$E2E_TMP/settle-a.png" "$E2E_TMP/settle-b.png"
}

# Grabs a window with its frame once it has finished painting: two grabs alike.
e2e_grab_settled() {
    e2e_until 20 "the window to settle" e2e_grab_frame_twice_alike "$1"
    cp "$E2E_TMP/settle-b.png" "$2"
}
