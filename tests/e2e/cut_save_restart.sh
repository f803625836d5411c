#!/usr/bin/env bash
# The real program on a private X server, opened on a picture given as its one
# argument: a cut with real pointer events, a copy read back from the clipboard,
# a save through the real save dialog, a close through the window manager, and
# a second start at the position the settings file kept.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_need djpeg
e2e_start_x

e2e_prepare_scene 160 120 3

e2e_step "start on the picture at the stored position"
e2e_start_program "$app/snipwell" "$source"
e2e_until 10 "the frame at (100, 80)" e2e_frame_near "$E2E_WIN" 100 80
e2e_find_picture "$source"

e2e_cut_copy_save "$source" 12 20 70 61 "$out/piece.jpg"

e2e_step "move the window, close it through the window manager"
xdotool windowmove "$E2E_WIN" 240 170
e2e_until 10 "the window to move" e2e_frame_away_from "$E2E_WIN" 100 80
read -r left top < <(e2e_frame_origin "$E2E_WIN")
e2e_close_program
# The picture came as an argument, like a drop, so no picture path is kept.
e2e_check_settings "$app/setting.ini" '"95"' 0 '""' "\"$out\"" $((left * 15)) $((top * 15))

e2e_step "start again: the frame stands where it was left"
e2e_start_program "$app/snipwell"
e2e_until 10 "the frame at ($left, $top)" e2e_frame_near "$E2E_WIN" "$left" "$top"
e2e_close_program
e2e_check_settings "$app/setting.ini" '"95"' 0 '""' "\"$out\"" $((left * 15)) $((top * 15))
echo "PASS"
