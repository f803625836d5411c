#!/usr/bin/env bash
# The real program on a headless Wayland compositor (sway), natively through
# Qt's Wayland plugin: its window shows the picture in a grim screenshot, a cut
# made with real pointer events goes onto the Wayland clipboard pixel for
# pixel, a save through the save dialog (typed into with real key events)
# writes the right JPEG, and closing keeps the stored window position as it
# was read, since a Wayland client can neither place its window nor learn
# where it stands. A second start, left to choose its platform in a Wayland
# session, comes up on Wayland by itself.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
# shellcheck source=tests/e2e/wayland_lib.sh
source "$(dirname "$0")/wayland_lib.sh"
e2e_need djpeg
e2e_start_wayland

e2e_prepare_scene 160 120 3
e2e_wl_own "$app" "$out"

e2e_step "start on the picture with QT_QPA_PLATFORM=wayland"
e2e_start_program "${E2E_WL[@]}" "$app/snipwell" "$source"
[ "$E2E_SHELL" = xdg_shell ] || e2e_fail "the window came through $E2E_SHELL, not as a Wayland window"
e2e_find_picture "$source"

e2e_cut_copy_save "$source" 12 20 70 61 "$out/piece.jpg"

e2e_step "close through the compositor: the stored position is kept, the rest written"
e2e_close_program
e2e_check_settings "$app/setting.ini" '"95"' 0 '""' "\"$out\"" 1500 1200

e2e_step "in a Wayland session the program picks Wayland by itself"
# An X display that does not exist: coming up at all proves it is not X.
e2e_start_program "${E2E_WL[@]}" env -u QT_QPA_PLATFORM XDG_SESSION_TYPE=wayland DISPLAY=:99 \
    "$app/snipwell"
[ "$E2E_SHELL" = xdg_shell ] || e2e_fail "the window came through $E2E_SHELL, not as a Wayland window"
e2e_close_program
e2e_check_settings "$app/setting.ini" '"95"' 0 '""' "\"$out\"" 1500 1200
echo "PASS"
