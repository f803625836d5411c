#!/usr/bin/env bash
# Fails when a file under src/ includes from a folder at its own level or
# above it. The folders are layers, from the top: the form and its windows,
# the tools, the toolkit adapter, the picture document, then the readers, the
# JPEG library and the settings file side by side, and the units at the bottom.
# Usage: scripts/check-layers.sh [source folder] (default: src next to this script).
set -euo pipefail
src="${1:-$(cd "$(dirname "$0")/.." && pwd)/src}"

declare -A rank=([forms]=6 [tools]=5 [toolkit]=4 [document]=3
    [input]=2 [jpeg]=2 [settings]=2 [units]=1)

status=0
while IFS= read -r -d '' file; do
    relative="${file#"$src"/}"
    from="${relative%%/*}"
    [ "$from" = "$relative" ] && continue # main.cpp wires every layer
    if [ -z "${rank[$from]:-}" ]; then
        echo "$relative: the folder $from is no known layer" >&2
        status=1
        continue
    fi
    while IFS= read -r included; do
        to="${included%%/*}"
        [ "$to" = "$included" ] && continue # a system or library header
        [ "$to" = "$from" ] && continue
        [ -z "${rank[$to]:-}" ] && continue
        if [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
            echo "$relative: includes $included, which is not below $from" >&2
            status=1
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) -print0)
[ "$status" -eq 0 ] && echo "layers: every include runs downward"
exit "$status"
