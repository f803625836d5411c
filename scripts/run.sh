#!/usr/bin/env bash
# Starts the built program, or says in one line why it cannot show a window here.
set -euo pipefail
binary="$1"
shift
platform="${QT_QPA_PLATFORM:-}"
if [ -z "$platform" ] && [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Snipwell needs a graphical desktop: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
    exit 1
fi
exec "$binary" "$@"
