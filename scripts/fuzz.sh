#!/usr/bin/env bash
# Runs each libFuzzer target for FUZZ_SECONDS from the seed corpus in fuzz/corpus,
# keeping what it finds in the build folder, and prints the executions per target.
# Usage: scripts/fuzz.sh <fuzz build folder> [seconds]
set -euo pipefail
build="$1"
seconds="${2:-60}"
cd "$(dirname "$0")/.."
status=0
for target in settingsfile pictureloader savejpg; do
    found="$build/fuzz-found/$target"
    mkdir -p "$found" "$build/fuzz-crashes"
    log="$build/fuzz-$target.log"
    echo "fuzz_$target: $seconds s"
    # New inputs go to the first folder; the seeds in the repository stay as they are.
    if ! QT_QPA_PLATFORM=offscreen "$build/fuzz/fuzz_$target" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=4096 -print_final_stats=1 \
        -artifact_prefix="$build/fuzz-crashes/$target-" "$found" "fuzz/corpus/$target" >"$log" 2>&1; then
        echo "fuzz_$target FAILED; the input is in $build/fuzz-crashes:"
        grep -E "ERROR|SUMMARY|Test unit written" "$log" | head -20 || true
        status=1
    fi
    grep -E "stat::number_of_executed_units|stat::peak_rss_mb" "$log" | sed "s/^/  /" || true
done
exit $status
