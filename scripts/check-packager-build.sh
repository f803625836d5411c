#!/usr/bin/env bash
# Configures the project as a packager would, without tests
# (-DBUILD_TESTING=OFF), and checks that this build has the program, its JPEG
# library and the package's documents, and neither the tests, the benchmark,
# the test tools nor Qt Test. Usage: scripts/check-packager-build.sh SOURCE-DIR
set -euo pipefail
source_dir=$1
build=$(mktemp -d /tmp/snipwell-packager.XXXXXX)
trap 'rm -rf "$build"' EXIT
cmake -S "$source_dir" -B "$build" -G Ninja -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX=/usr \
    >"$build/configure.log" 2>&1 || {
    cat "$build/configure.log" >&2
    echo "FAIL: the project does not configure without tests" >&2
    exit 1
}
targets=$(ninja -C "$build" -t targets all | sed 's/:.*//')
for wanted in snipwell savejpg snipwell_compressed_docs; do
    grep -qx "$wanted" <<<"$targets" || { echo "FAIL: no target $wanted" >&2; exit 1; }
done
unwanted=$(grep -E '(^|_)tst_|^snipwell_(bench|soak|e2etool|wlpointer|testsupport)$' <<<"$targets" || true)
if [ -n "$unwanted" ]; then
    echo "FAIL: a build without tests still has: $unwanted" >&2
    exit 1
fi
if grep -q '^Qt6Test_DIR:PATH=/' "$build/CMakeCache.txt"; then
    echo "FAIL: a build without tests still looks for Qt Test" >&2
    exit 1
fi
echo "a build without tests has the program, its JPEG library and its documents only"
