#!/usr/bin/env bash
# Zoom, undo and paste with real keys and the real clipboard: cuts at 1/3, 1/2,
# 2/3, 2 and 3 times give exactly the picture pixels under the frame, Ctrl +
# wheel zooms about the pointer, a stroke is taken back and done again, and a
# PNG put on the clipboard by xclip opens as the new picture.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_start_x

e2e_prepare_scene 150 120 7
e2e_start_program "$app/snipwell" "$source"
e2e_find_picture "$source"
timeout 5 xdotool windowactivate --sync "$E2E_WIN" 2>/dev/null || true

# Screen position of pixel (X, Y) of the picture surface, whatever the zoom.
surface_point() {
    echo "$((E2E_CLIENT_X + E2E_PICTURE_X + $1))" "$((E2E_CLIENT_Y + E2E_PICTURE_Y + $2))"
}

# The picture pixel that surface pixel V shows at zoom NUMERATOR/DENOMINATOR.
picture_of() {
    echo $(($1 * $3 / $2))
}

# Cuts from surface pixel (X1, Y1) to (X2, Y2) at zoom N/D and checks the
# piece on the clipboard against the source's pixels under the frame.
cut_at_zoom() {
    local n=$1 d=$2 x1=$3 y1=$4 x2=$5 y2=$6 px1 py1 px2 py2
    e2e_click_tool cut
    # shellcheck disable=SC2046
    xdotool mousemove $(surface_point "$x1" "$y1") click 1
    # shellcheck disable=SC2046
    xdotool mousemove $(surface_point $(((x1 + x2) / 2)) $(((y1 + y2) / 2)))
    # shellcheck disable=SC2046
    xdotool mousemove $(surface_point "$x2" "$y2") click 1
    px1=$(picture_of "$x1" "$n" "$d")
    py1=$(picture_of "$y1" "$n" "$d")
    px2=$(picture_of "$x2" "$n" "$d")
    py2=$(picture_of "$y2" "$n" "$d")
    rm -f "$E2E_TMP/piece.png"
    e2e_copy_piece "$E2E_TMP/piece.png"
    "$E2E_TOOL" compare "$source" "$px1" "$py1" $((px2 - px1)) $((py2 - py1)) "$E2E_TMP/piece.png" 0 0 ||
        e2e_fail "the piece cut at $n/$d is not the picture's ($px1,$py1)-($px2,$py2)"
}

# True when the window no longer shows the source picture unmarked.
picture_marked() {
    e2e_grab_window "$E2E_WIN" "$E2E_TMP/marked.png" &&
        ! "$E2E_TOOL" locate "$E2E_TMP/marked.png" "$source" 1 >/dev/null 2>&1
}

# The pointer rests on the tool strip, so that the keys zoom about the
# viewport's middle, and the picture, smaller than the viewport, stays at its
# top-left corner.
rest_pointer() {
    xdotool mousemove "$((E2E_CLIENT_X + 300))" "$((E2E_CLIENT_Y + E2E_MENU_HEIGHT + 24))"
}

e2e_step "Ctrl + - three times: 1/3"
rest_pointer
xdotool key ctrl+minus ctrl+minus ctrl+minus
cut_at_zoom 1 3 4 5 31 27
e2e_step "Ctrl + +: 1/2"
rest_pointer
xdotool key ctrl+plus
cut_at_zoom 1 2 3 6 50 41
e2e_step "Ctrl + +: 2/3"
rest_pointer
xdotool key ctrl+plus
cut_at_zoom 2 3 8 9 61 45
e2e_step "Ctrl + 1, Ctrl + +: 2 times"
rest_pointer
xdotool key ctrl+1 ctrl+plus
cut_at_zoom 2 1 21 9 151 117
e2e_step "Ctrl + +: 3 times"
rest_pointer
xdotool key ctrl+plus
cut_at_zoom 3 1 31 40 302 251

e2e_step "Ctrl + wheel zooms a step"
rest_pointer
xdotool key ctrl+1
# Another tool takes the selection frame off the picture.
e2e_click_tool draw
e2e_find_picture "$source"
# One notch up over the picture: 2 times (where the picture is larger than
# the viewport, the pixel under the pointer stays under it; this one is not).
# shellcheck disable=SC2046
xdotool mousemove $(surface_point 40 30) keydown ctrl click 4 keyup ctrl
e2e_click_tool cut
# shellcheck disable=SC2046
xdotool mousemove $(surface_point 80 60) click 1 mousemove $(surface_point 100 80)
# shellcheck disable=SC2046
xdotool mousemove $(surface_point 120 100) click 1
e2e_copy_piece "$E2E_TMP/wheel.png"
"$E2E_TOOL" compare "$source" 40 30 20 20 "$E2E_TMP/wheel.png" 0 0 ||
    e2e_fail "Ctrl + wheel did not zoom 2 times about the pointer"

e2e_step "a stroke, Ctrl + Z, Ctrl + Y"
rest_pointer
xdotool key ctrl+1
e2e_click_tool draw
e2e_find_picture "$source"
# shellcheck disable=SC2046
xdotool mousemove $(e2e_picture_point 10 10) mousedown 1
# shellcheck disable=SC2046
xdotool mousemove $(e2e_picture_point 60 40) mousemove $(e2e_picture_point 120 100) mouseup 1
e2e_until 10 "the stroke on the picture" picture_marked
xdotool key ctrl+z
e2e_find_picture "$source"
xdotool key ctrl+y
e2e_until 10 "the stroke back on the picture" picture_marked
xdotool key ctrl+z ctrl+shift+z
e2e_until 10 "the stroke back on the picture" picture_marked
xdotool key ctrl+z
e2e_find_picture "$source"

e2e_step "a PNG on the clipboard, Ctrl + V"
"$E2E_TOOL" pattern "$E2E_TMP/pasted.png" 90 70 21
xclip -selection clipboard -t image/png -i "$E2E_TMP/pasted.png"
rest_pointer
xdotool key ctrl+v
e2e_find_picture "$E2E_TMP/pasted.png"
e2e_close_program
# The remembered picture is the one last opened through the dialog: none here.
[ "$(e2e_settings_records "$app/setting.ini" | sed -n 3p)" = '""' ] ||
    e2e_fail "pasting changed the remembered picture"
echo "PASS"
