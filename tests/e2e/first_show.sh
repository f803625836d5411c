#!/usr/bin/env bash
# What a newcomer meets first, on a private X server with openbox: the main
# window and the preview window come up at their outer sizes to the pixel (at
# start-up, after a restart at a stored position, at the preview's first and
# later showings), Esc closes the preview, the save dialog after the options
# dialog's OK holds a single space, and a name typed without an extension is
# saved with ".jpg" (the replace question then asks about that file).
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_need djpeg
e2e_start_x

e2e_prepare_scene 200 160 5

# "WIDTH HEIGHT" of a window with its frame.
outer_size() {
    local left right top bottom w h
    read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= *//; s/,//g')
    read -r _ _ w h < <(e2e_client_geometry "$1")
    echo "$((w + left + right)) $((h + top + bottom))"
}

outer_is() {
    [ "$(outer_size "$1")" = "$2 $3" ]
}

frame_at() {
    [ "$(e2e_frame_origin "$1")" = "$2 $3" ]
}

e2e_until_quiet() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Checks a window's outer size and the frame's corner, to the pixel.
check_window() {
    local window=$1 what=$2 width=$3 height=$4
    if ! e2e_until_quiet 10 outer_is "$window" "$width" "$height"; then
        e2e_fail "the $what is $(outer_size "$window") outside, expected $width $height"
    fi
    if [ "$#" -gt 4 ]; then
        e2e_until 10 "the $what's frame at ($5, $6)" frame_at "$window" "$5" "$6"
    fi
}

# The preview is the one framed window of the program besides the main window.
find_preview() {
    e2e_find_dialog || return 1
    E2E_PREVIEW=$E2E_DIALOG
}

preview_gone() {
    ! xwininfo -id "$E2E_PREVIEW" 2>/dev/null | grep -q 'IsViewable'
}

open_preview() {
    timeout 5 xdotool windowactivate --sync "$E2E_WIN" 2>/dev/null || true
    xdotool key alt+p
    e2e_until 20 "the preview window" find_preview
}

e2e_step "start: 7850 x 9300 twips outer, 524 x 620 pixels, at the stored (100, 80)"
e2e_start_program "$app/snipwell" "$source"
check_window "$E2E_WIN" "main window" 524 620 100 80
e2e_find_picture "$source"

e2e_step "preview of a 1200 x 900-twip box: 2550 x 3400 twips, 170 x 227 pixels"
# A 78 x 58 piece: its box, one pixel of border each side, is 80 x 60 pixels.
e2e_cut 10 10 88 68
open_preview
check_window "$E2E_PREVIEW" "preview" 170 227
read -r preview_x preview_y < <(e2e_frame_origin "$E2E_PREVIEW")

e2e_step "a cut refreshes the open preview: a 182 x 152 box gives 189 x 227, left and top kept"
e2e_cut 5 5 185 155
check_window "$E2E_PREVIEW" "refreshed preview" 189 227 "$preview_x" "$preview_y"

e2e_step "Esc closes the preview; shown again, it comes up at its size at once"
timeout 5 xdotool windowactivate --sync "$E2E_PREVIEW" 2>/dev/null || true
xdotool key Escape
e2e_until 10 "the preview to close" preview_gone
open_preview
check_window "$E2E_PREVIEW" "preview shown anew" 189 227
xdotool key Escape
e2e_until 10 "the preview to close" preview_gone

e2e_step "after the options dialog's OK the save dialog's name box holds a single space"
timeout 5 xdotool windowactivate --sync "$E2E_WIN" 2>/dev/null || true
xdotool key alt+o
e2e_wait_dialog
# OK is at (48, 64) pixels in the dialog, 137 x 33.
read -r x y _ < <(e2e_client_geometry "$E2E_DIALOG")
e2e_click_at $((x + 116)) $((y + 80))
e2e_until 10 "the options dialog to close" e2e_dialog_gone
e2e_click_tool save
e2e_wait_dialog
# Typed after what the box holds: the space stays in front of the name.
xdotool key End
xdotool type --delay 15 "spaced"
xdotool key Return
e2e_until 20 "the file dialog to close" e2e_dialog_gone
e2e_until 20 "the JPEG \" spaced.jpg\"" e2e_file_written "$E2E_TMP/ spaced.jpg"

e2e_step "a name without an extension is saved with .jpg"
e2e_click_tool save
e2e_answer_file_dialog "$out/piece"
e2e_until 20 "the JPEG file piece.jpg" e2e_file_written "$out/piece.jpg"
djpeg -pnm -outfile "$E2E_TMP/decoded.ppm" "$out/piece.jpg" || e2e_fail "djpeg cannot read piece.jpg"
"$E2E_TOOL" compare "$source" 5 5 180 150 "$E2E_TMP/decoded.ppm" 10 80 ||
    e2e_fail "piece.jpg is not the cut rectangle"
[ ! -e "$out/piece" ] || e2e_fail "a file named piece was written"

e2e_step "saving as piece again asks before replacing piece.jpg"
e2e_cut 20 30 60 70
e2e_click_tool save
e2e_answer_file_dialog "$out/piece"
e2e_answer_question alt+y
e2e_until 20 "piece.jpg to be replaced" e2e_jpeg_width_is "$out/piece.jpg" 40
[ ! -e "$out/piece" ] || e2e_fail "a file named piece was written"

e2e_step "move, close, start again: the frame comes back to the pixel, at its size"
xdotool windowmove "$E2E_WIN" 260 150
e2e_until 10 "the window to move" e2e_frame_away_from "$E2E_WIN" 100 80
read -r left top < <(e2e_frame_origin "$E2E_WIN")
e2e_close_program
e2e_start_program "$app/snipwell"
check_window "$E2E_WIN" "restarted main window" 524 620 "$left" "$top"
e2e_close_program
echo "PASS"
