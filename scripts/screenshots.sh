#!/usr/bin/env bash
# Makes the README's screenshots with the real program on a private X server:
# the main window with a picture, pen and text marks and a selection, and the
# options dialog. Usage: scripts/screenshots.sh [build-dir] (default: build).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repo/build}" && pwd)
cmake --build "$build" --target snipwell savejpg snipwell_e2etool >/dev/null
export SNIPWELL_BIN="$build/snipwell" SNIPWELL_JPEGLIB="$build/libsavejpg.so"
export E2E_TOOL="$build/tests/e2e/snipwell_e2etool"
# shellcheck source=tests/e2e/lib.sh
source "$repo/tests/e2e/lib.sh"
e2e_start_x

app="$E2E_TMP/app"
picture="$E2E_TMP/landscape.bmp"
e2e_copy_program "$app"
cd "$E2E_TMP"
"$E2E_TOOL" demo "$picture" 400 300
printf '"80"\r\n1\r\n""\r\n""\r\n600\r\n600\r\n' >"$app/setting.ini"
e2e_start_program "$app/snipwell" "$picture"
e2e_find_picture "$picture"

# A freehand stroke with the pen, dragged through a few points.
e2e_click_tool draw
# shellcheck disable=SC2046
xdotool mousemove $(e2e_picture_point 40 250) mousedown 1
for point in "70 235" "100 250" "130 232" "160 248" "190 236"; do
    # shellcheck disable=SC2046,SC2086
    xdotool mousemove $(e2e_picture_point $point)
done
xdotool mouseup 1

# Text typed into the Text box, then printed on the picture.
e2e_click_at $((E2E_CLIENT_X + 440)) $((E2E_CLIENT_Y + E2E_MENU_HEIGHT + 25))
xdotool type "Snipwell"
e2e_click_tool text
e2e_move_picture 30 30
e2e_click_picture 30 30

# A selection being dragged: anchored, the frame following the pointer.
e2e_click_tool cut
e2e_click_picture 210 60
e2e_move_picture 330 170
e2e_grab_settled "$E2E_WIN" "$repo/docs/mainwindow.png"
timeout 5 xdotool windowactivate --sync "$E2E_WIN" 2>/dev/null || true
# オプション(&O) acts directly from the menu bar.
xdotool key alt+o
e2e_wait_dialog
e2e_grab_settled "$E2E_DIALOG" "$repo/docs/options.png"
wmctrl -i -c "$E2E_DIALOG"
e2e_until 10 "the options dialog to close" e2e_dialog_gone
e2e_close_program
ls -l "$repo/docs/mainwindow.png" "$repo/docs/options.png"
