#!/usr/bin/env bash
# Runs every fuzz target (or those named after the first argument) over its
# seed corpus for 10 million executions or the given number of seconds,
# whichever comes first (default an hour each), keeping new inputs in
# build/fuzz/corpus/<target>/. One target runs at a time.
#   tools/run-fuzz.sh [seconds] [fuzz_name ...]
set -euo pipefail
cd "$(dirname "$0")/.."
secs=${1:-3600}
shift || true
runs=${FUZZ_RUNS:-10000000}
tools/setup-deps.sh
cmake --preset fuzz >/dev/null
if [ $# -gt 0 ]; then
    cmake --build --preset fuzz --target "$@" >/dev/null
    targets=("$@")
else
    cmake --build --preset fuzz >/dev/null
    targets=()
    for exe in build/fuzz/fuzz_*; do
        [ -x "$exe" ] && targets+=("$(basename "$exe")")
    done
fi
status=0
for name in "${targets[@]}"; do
    exe=build/fuzz/$name
    work=build/fuzz/corpus/$name
    mkdir -p "$work" build/fuzz/crashes
    seeds=tests/fuzz/corpus/$name
    [ -d "$seeds" ] || seeds=
    echo "== $name: up to $runs runs or $secs s"
    log=build/fuzz/$name.log
    "$exe" -runs="$runs" -max_total_time="$secs" -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix=build/fuzz/crashes/"$name"- "$work" $seeds >"$log" 2>&1 || status=1
    grep -E 'stat::number_of_executed_units|stat::average_exec_per_sec|ERROR|SUMMARY' "$log" || true
done
exit $status
