#!/usr/bin/env bash
# The real open and save dialogs of the program on a private X server: a path it
# cannot open is reported, a picture opened through ファイル → 開く is cut and
# copied exactly, a save over an existing file asks first, and the settings
# file keeps the picture's path and the save folder.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_need djpeg
e2e_start_x

e2e_prepare_scene 140 100 7

e2e_step "an argument that is no picture is reported, and the window stays"
e2e_start_program "$app/snipwell" "$E2E_TMP/missing.bmp"
e2e_answer_question Return
kill -0 "$E2E_PID" || e2e_fail "the program ended after the message"

e2e_step "open the picture through the open dialog"
e2e_menu f o
e2e_answer_file_dialog "$source"
e2e_find_picture "$source"

e2e_step "cut (30,5)-(5,40) from the upper right and copy it"
e2e_cut 30 5 5 40
e2e_copy_piece "$E2E_TMP/clipboard.png"
"$E2E_TOOL" compare "$source" 5 5 25 35 "$E2E_TMP/clipboard.png" 0 0 ||
    e2e_fail "the clipboard does not hold the cut rectangle"

e2e_step "save, then save a larger cut over the same file"
e2e_save_and_check "$out/piece.jpg" "$source" 5 5 25 35
e2e_cut 40 50 100 90
e2e_click_tool save
e2e_answer_file_dialog "$out/piece.jpg"
e2e_answer_question alt+y
e2e_until 20 "the file to be replaced" e2e_jpeg_width_is "$out/piece.jpg" 60
djpeg -pnm -outfile "$E2E_TMP/decoded.ppm" "$out/piece.jpg"
"$E2E_TOOL" compare "$source" 40 50 60 40 "$E2E_TMP/decoded.ppm" 10 80 ||
    e2e_fail "the replaced JPEG is not the second cut"

e2e_step "close: the settings keep the opened picture and the save folder"
read -r left top < <(e2e_frame_origin "$E2E_WIN")
e2e_close_program
e2e_check_settings "$app/setting.ini" '"95"' 0 "\"$source\"" "\"$out\"" \
    $((left * 15)) $((top * 15))
echo "PASS"
