#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds (default 300) over
# its seed corpus, keeping new inputs in build/fuzz/corpus/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-300}
tools/setup-deps.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
for exe in build/fuzz/fuzz_*; do
    [ -x "$exe" ] || continue
    name=$(basename "$exe")
    work=build/fuzz/corpus/$name
    mkdir -p "$work"
    seeds=tests/fuzz/corpus/$name
    [ -d "$seeds" ] || seeds=
    echo "== $name for $secs s"
    "$exe" -max_total_time="$secs" -rss_limit_mb=2048 -print_final_stats=1 "$work" $seeds 2>&1 |
        grep -E 'stat::number_of_executed_units|ERROR|SUMMARY' || true
done
