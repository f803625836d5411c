#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Snipwell need,
# touching apt only when something is missing. On a system without apt it says
# so in one line and leaves the rest to CMake's own checks.
set -euo pipefail

# What to install for: build (building, running and packaging), test (the whole
# suite, the end-to-end tests included), bench (the benchmark, which sets its
# JPEG sizes beside ImageMagick's), fuzz (the libFuzzer targets). test, bench
# and fuzz include build and test; bench and fuzz add their own.
profile="${1:-test}"
[ "$#" -gt 0 ] && shift

# qt6-wayland: the program runs natively on a Wayland desktop.
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n qt6-wayland libgl-dev libxcb1-dev libfontconfig-dev
    libjpeg62-turbo-dev
    fonts-ipafont-gothic
)
if [ "$profile" = test ] || [ "$profile" = bench ] || [ "$profile" = fuzz ]; then
    # TurboJPEG, which the tests and the benchmark compare with; end-to-end
    # tests and screenshots: an X server, a window manager, input,
    # clipboard and window tools, a JPEG decoder, desktop-file validators, and
    # XDamage for measuring when a window is first painted; a headless Wayland
    # compositor with its screenshot, clipboard and keyboard tools and the
    # client library our pointer helper is built on; lintian for the Debian
    # package.
    packages+=(libturbojpeg0-dev
        xvfb openbox xdotool xclip x11-utils wmctrl libjpeg-turbo-progs
        desktop-file-utils appstream libxcb-damage0-dev
        sway grim wl-clipboard wtype libwayland-dev
        lintian)
fi
if [ "$profile" = bench ]; then
    packages+=(imagemagick)
fi
if [ "$profile" = fuzz ]; then
    # clang with libFuzzer and the sanitizer runtimes, and llvm-symbolizer.
    packages+=(clang libclang-rt-14-dev llvm)
fi
case "$profile" in
build | test | bench | fuzz) ;;
*)
    echo "usage: scripts/deps.sh [build|test|bench|fuzz] [extra packages...]" >&2
    exit 2
    ;;
esac
[ "$#" -gt 0 ] && packages+=("$@")

if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
    echo "scripts/deps.sh: no apt here, skipping the package step; CMake will say what is missing."
    exit 0
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
        echo "Missing Debian packages: ${missing[*]}" >&2
        echo "Install them as root, then run this again:" >&2
        echo "    apt-get install ${missing[*]}" >&2
        exit 1
    fi
    sudo=(sudo)
fi
echo "Installing the missing Debian packages: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
