#!/usr/bin/env bash
# `cmake --install` into a fresh prefix: the program, its JPEG library, the
# desktop entry, the icons and the AppStream metainfo where a desktop expects
# them, valid by the desktop's own validators. The installed program then runs
# as a user who cannot write its folder: it opens a picture given as its
# argument, saves a cut through its installed JPEG library and keeps its
# settings in that user's configuration folder.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
e2e_need djpeg desktop-file-validate appstreamcli setpriv
e2e_start_x

prefix="$E2E_TMP/prefix"
e2e_step "install into $prefix"
cmake --install "$SNIPWELL_BUILD_DIR" --prefix "$prefix" >"$E2E_TMP/install.log"
for file in bin/snipwell "$SNIPWELL_INSTALL_LIBDIR/snipwell/libsavejpg.so" \
    share/applications/io.github.snipwell.Snipwell.desktop \
    share/metainfo/io.github.snipwell.Snipwell.metainfo.xml share/man/man1/snipwell.1.gz \
    share/icons/hicolor/32x32/apps/snipwell.png share/icons/hicolor/256x256/apps/snipwell.png; do
    [ -f "$prefix/$file" ] || e2e_fail "not installed: $file"
done
grep -q "<release version=\"$SNIPWELL_VERSION\"" \
    "$prefix/share/metainfo/io.github.snipwell.Snipwell.metainfo.xml" ||
    e2e_fail "the metainfo does not name release $SNIPWELL_VERSION"
desktop="$prefix/share/applications/io.github.snipwell.Snipwell.desktop"
desktop-file-validate "$desktop" >"$E2E_TMP/validate.log" 2>&1 ||
    e2e_fail "the desktop entry is not valid"
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.snipwell.Snipwell.metainfo.xml" \
    >>"$E2E_TMP/validate.log" 2>&1 || e2e_fail "the metainfo is not valid"
for line in 'Exec=snipwell %f' 'Icon=snipwell' 'Name=Snipwell' 'Name\[ja\]=.+' \
    'MimeType=.*image/jpeg;.*' 'MimeType=.*image/bmp;.*'; do
    grep -Eqx "$line" "$desktop" || e2e_fail "the desktop entry lacks $line"
done

e2e_prepare_user
[ "$(id -u)" -eq 0 ] || chmod a-w "$prefix/bin"
source="$E2E_TMP/source.bmp"
"$E2E_TOOL" pattern "$source" 100 80 2
chmod a+r "$source"

e2e_step "open with Snipwell, as a user who cannot write the program's folder"
e2e_open_with "$desktop" "$source" "$prefix/bin"
e2e_find_picture "$source"
e2e_cut 10 10 60 50
# No settings yet: quality 50, so only the size is checked here.
e2e_click_tool save
e2e_answer_file_dialog "$E2E_TMP/saved/piece.jpg"
e2e_until 20 "the JPEG written through the installed library" \
    e2e_file_written "$E2E_TMP/saved/piece.jpg"
e2e_jpeg_width_is "$E2E_TMP/saved/piece.jpg" 50 || e2e_fail "the saved piece is not 50 pixels wide"
read -r left top < <(e2e_frame_origin "$E2E_WIN")
e2e_close_program

e2e_step "the settings are in the user's configuration folder"
[ ! -e "$prefix/bin/setting.ini" ] || e2e_fail "settings were written beside the installed program"
e2e_check_settings "$E2E_USER_HOME/.config/Snipwell/setting.ini" '"50"' 0 '""' "\"$E2E_TMP/saved\"" \
    $((left * 15)) $((top * 15))
echo "PASS"
