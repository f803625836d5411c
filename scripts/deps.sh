#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Snipwell need,
# touching apt only when something is missing.
set -euo pipefail

# What to install for: build (building and running), test (the whole suite,
# the end-to-end tests included), bench (the benchmark, which sets its JPEG
# sizes beside ImageMagick's), fuzz (the libFuzzer targets). Each includes the
# test packages; bench and fuzz add their own.
profile="${1:-test}"
[ "$#" -gt 0 ] && shift

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-image-formats-plugins libgl-dev
    libturbojpeg0-dev libjpeg62-turbo-dev
    fonts-ipafont-gothic
)
if [ "$profile" = test ] || [ "$profile" = bench ] || [ "$profile" = fuzz ]; then
    # End-to-end tests and screenshots: an X server, a window manager, input,
    # clipboard and window tools, a JPEG decoder, desktop-file validators.
    packages+=(xvfb openbox xdotool xclip x11-utils wmctrl libjpeg-turbo-progs
        desktop-file-utils appstream)
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

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
