#!/usr/bin/env bash
# The Debian package: built from this build folder with CPack as `make deb`
# builds it, clean by lintian, its dependencies those dpkg-shlibdeps computed,
# installed into this machine with apt-get. The installed program then runs on
# the X server as a user: it opens a picture from the desktop entry, saves a
# cut through the installed JPEG library and keeps its settings in
# ~/.config/Snipwell/. Purging the package leaves the machine's packages and
# files as they were before.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
command -v apt-get >/dev/null || e2e_skip "no apt on this system to install a Debian package with"
[ "$(id -u)" -eq 0 ] || e2e_skip "installing a package needs root (CI runs as root)"
if dpkg-query -W -f='${Status}' snipwell 2>/dev/null | grep -q 'ok installed'; then
    e2e_skip "a snipwell package is installed on this machine; this test would replace it"
fi
e2e_need_debian cpack dpkg-deb dpkg-shlibdeps lintian djpeg flock
prefix=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$SNIPWELL_BUILD_DIR/CMakeCache.txt")
[ "$prefix" = /usr ] ||
    e2e_fail "the build is configured for $prefix: a package needs -DCMAKE_INSTALL_PREFIX=/usr (make does that)"

# One package test at a time on this machine, whichever checkout it runs from.
exec {lock}>/var/lock/snipwell-deb-test.lock
flock -w 180 "$lock" || e2e_fail "another run of this test holds the package lock"

e2e_step "build the package"
cpack -G DEB -B "$E2E_TMP/package" --config "$SNIPWELL_BUILD_DIR/CPackConfig.cmake" \
    >"$E2E_TMP/cpack.log" 2>&1 || e2e_fail "cpack failed"
debs=("$E2E_TMP"/package/snipwell_*.deb)
if [ "${#debs[@]}" -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    e2e_fail "cpack made no single snipwell_*.deb"
fi
deb=${debs[0]}
chmod -R a+rX "$E2E_TMP/package"

# lintian takes a while: it checks the package while the rest of the test runs.
mkdir -p "$E2E_TMP/lintian-home"
chown nobody "$E2E_TMP/lintian-home"
setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME="$E2E_TMP/lintian-home" \
    lintian --fail-on error "$deb" >"$E2E_TMP/lintian.log" 2>&1 &
lintian_pid=$!
e2e_pids+=("$lintian_pid")

e2e_step "the control fields: version and computed dependencies"
[ "$(dpkg-deb -f "$deb" Package)" = snipwell ] || e2e_fail "the package is not named snipwell"
[ "$(dpkg-deb -f "$deb" Version)" = "$SNIPWELL_VERSION-1" ] ||
    e2e_fail "the package's version is not $SNIPWELL_VERSION-1"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# What the program and its JPEG library link to, and the Qt plugins they load.
for package in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libjpeg62-turbo qt6-qpa-plugins \
    qt6-wayland; do
    grep -Eq "(^|, )$package( \(|,|$)" <<<"$depends" || e2e_fail "Depends lacks $package"
done

e2e_step "install with apt-get"
dpkg-query -W -f='${Package} ${Version} ${Status}\n' | sort >"$E2E_TMP/packages-before"
installed=0
remove_package() {
    [ "$installed" -eq 1 ] || return 0
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq -o DPkg::Lock::Timeout=120 snipwell \
        >>"$E2E_TMP/apt.log" 2>&1
}
# Whatever happens, the package goes again; then the usual cleanup.
trap 'status=$?; remove_package || true; (exit $status); e2e_cleanup' EXIT
installed=1
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=120 "$deb" >"$E2E_TMP/apt.log" 2>&1 || e2e_fail "apt-get install failed"
dpkg-query -L snipwell >"$E2E_TMP/package-files"
libdir="/usr/$SNIPWELL_INSTALL_LIBDIR/snipwell"
for file in /usr/bin/snipwell "$libdir/libsavejpg.so" \
    /usr/share/applications/io.github.snipwell.Snipwell.desktop \
    /usr/share/metainfo/io.github.snipwell.Snipwell.metainfo.xml \
    /usr/share/icons/hicolor/256x256/apps/snipwell.png /usr/share/man/man1/snipwell.1.gz \
    /usr/share/doc/snipwell/copyright /usr/share/doc/snipwell/changelog.Debian.gz; do
    [ -f "$file" ] || e2e_fail "not installed: $file"
done
! ldd /usr/bin/snipwell "$libdir/libsavejpg.so" | grep -q 'not found' ||
    e2e_fail "a library the installed program needs is missing"

e2e_step "run the installed program as a user on the X server"
e2e_start_x
e2e_prepare_user
source="$E2E_TMP/source.bmp"
"$E2E_TOOL" pattern "$source" 120 90 5
chmod a+r "$source"
# Settings as a previous run left them, in the user's configuration folder:
# quality 95, so that the saved pixels stay close to the source.
config="$E2E_USER_HOME/.config/Snipwell"
mkdir -p "$config"
printf '"95"\r\n0\r\n""\r\n""\r\n1500\r\n1200\r\n' >"$config/setting.ini"
[ "${#E2E_USER[@]}" -eq 0 ] || chown -R nobody "$E2E_USER_HOME/.config"
e2e_open_with /usr/share/applications/io.github.snipwell.Snipwell.desktop "$source" /usr/bin
e2e_until 10 "the frame at (100, 80)" e2e_frame_near "$E2E_WIN" 100 80
e2e_find_picture "$source"
e2e_cut 8 6 71 50
e2e_save_and_check "$E2E_TMP/saved/piece.jpg" "$source" 8 6 63 44
xdotool windowmove "$E2E_WIN" 220 150
e2e_until 10 "the window to move" e2e_frame_away_from "$E2E_WIN" 100 80
read -r left top < <(e2e_frame_origin "$E2E_WIN")
e2e_close_program
e2e_check_settings "$config/setting.ini" '"95"' 0 '""' "\"$E2E_TMP/saved\"" \
    $((left * 15)) $((top * 15))
[ ! -e /usr/bin/setting.ini ] || e2e_fail "settings were written beside the installed program"

e2e_step "lintian finds no errors"
wait "$lintian_pid" || {
    cat "$E2E_TMP/lintian.log" >&2
    e2e_fail "lintian reports errors"
}
cat "$E2E_TMP/lintian.log"

e2e_step "purge the package: nothing is left behind"
remove_package || e2e_fail "apt-get purge failed"
installed=0
dpkg-query -W -f='${Package} ${Version} ${Status}\n' | sort >"$E2E_TMP/packages-after"
diff "$E2E_TMP/packages-before" "$E2E_TMP/packages-after" >&2 ||
    e2e_fail "the machine's packages differ from before the installation"
while read -r path; do
    # Folders that other packages share stay; the package's own go.
    if [ -e "$path" ] && { [ ! -d "$path" ] || [[ "$path" == */snipwell ]]; }; then
        e2e_fail "left behind: $path"
    fi
done <"$E2E_TMP/package-files"
echo "PASS"
