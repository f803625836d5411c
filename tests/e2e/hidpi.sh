#!/usr/bin/env bash
# The real program at QT_SCALE_FACTOR=2 on a private X server: the picture shows
# at its own size in device-independent pixels (each picture pixel a 2 x 2 block
# on the screen), and a cut made with screen coordinates doubled copies and
# saves exactly the selected picture pixels.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_need djpeg
E2E_SCREEN=2400x1800
e2e_start_x

e2e_prepare_scene 150 110 11
E2E_SCALE=2

e2e_step "start at scale 2 on the picture"
e2e_start_program env QT_SCALE_FACTOR=2 "$app/snipwell" "$source"
e2e_find_picture "$source"

e2e_step "cut (21,13)-(88,70) and copy it"
e2e_cut 21 13 88 70
e2e_copy_piece "$E2E_TMP/clipboard.png"
"$E2E_TOOL" compare "$source" 21 13 67 57 "$E2E_TMP/clipboard.png" 0 0 ||
    e2e_fail "the clipboard does not hold exactly the selected picture pixels"

e2e_step "save: the JPEG has the picture pixels' size"
e2e_save_and_check "$out/piece.jpg" "$source" 21 13 67 57
e2e_close_program
echo "PASS"
