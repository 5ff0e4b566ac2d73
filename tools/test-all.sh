#!/usr/bin/env bash
# Builds every preset and runs every test: the native tests of the portable
# code under sanitizers with the checks of the source tree (#include layers,
# formatting), short runs of the fuzz targets, and the Windows tests under
# Wine. The release preset is only built, so that the benchmarks and the
# optimised tools keep compiling.
# The Windows tests mostly wait for windows, so they run in shards side by
# side (each in a Wine prefix and on a display of its own) while the native
# presets build at a lower priority beside them.
# Ends with the time of each stage and one line "N passed, M failed"; exits
# non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
started=$SECONDS

stages=()
# Runs "$@" as the stage $1 and keeps its time for the summary.
stage() {
    local name=$1 t0=$SECONDS rc
    shift
    "$@"
    rc=$?
    stages+=("$(printf '%-34s %4d s' "$name" $((SECONDS - t0)))")
    return $rc
}

stage "set-up (packages)" tools/setup-deps.sh || exit 1

passed=0
failed=0
log=$root/build/test-logs
mkdir -p "$log"

# Adds the counts of ctest's closing line "x% tests passed, F tests failed out of N".
count_ctest() {
    local line n f
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1)
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        return
    fi
    n=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
    f=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    passed=$((passed + n - f))
    failed=$((failed + f))
}

# Configures and builds a preset, at the niceness $2 (0 unless given); counts
# a failure.
build() {
    if ! { cmake --preset "$1" && nice -n "${2:-0}" cmake --build --preset "$1"; } \
        >"$log/build-$1.log" 2>&1; then
        tail -n 40 "$log/build-$1.log"
        echo "build of preset $1 failed (log: $log/build-$1.log)"
        failed=$((failed + 1))
        return 1
    fi
}

# The Windows tests, in the background once their programs are built: each
# ctest test is one shard (cmake/Windows.cmake), and the reports carry the
# per-case results.
win_tests() {
    local t0=$SECONDS
    rm -rf build/win/test-results
    ctest --preset win -j5 >"$log/ctest-win.log" 2>&1
    echo $((SECONDS - t0)) >"$log/win-tests.seconds"
}
echo "== win: Windows programs and tests (the tests run under Wine beside the native stages)"
rm -f "$log/win-tests.seconds"
win_pid=""
if stage "win: build" build win; then
    win_tests &
    win_pid=$!
fi

echo "== host: portable tests, include layers, formatting"
if stage "host: build" build host 10; then
    stage "host: tests" nice -n 10 ctest --preset host -j2 >"$log/ctest-host.log" 2>&1
    grep -E 'Failed|tests passed' "$log/ctest-host.log"
    count_ctest "$log/ctest-host.log"
fi

echo "== release: optimised tools and benchmarks (built, not run)"
stage "release: build" build release 10

echo "== fuzz: short runs of the parsers' fuzz targets"
if stage "fuzz: build" build fuzz 10; then
    stage "fuzz: runs" nice -n 10 ctest --preset fuzz -j2 >"$log/ctest-fuzz.log" 2>&1
    grep -E 'Failed|tests passed' "$log/ctest-fuzz.log"
    count_ctest "$log/ctest-fuzz.log"
fi

if [ -n "$win_pid" ]; then
    echo "== win: waiting for the Windows tests"
    stage "win: waiting for the tests" wait "$win_pid"
    grep -E 'Failed|tests passed|Passed' "$log/ctest-win.log"
    [ -f "$log/win-tests.seconds" ] &&
        stages+=("$(printf '%-34s %4d s' "win: tests (beside the above)" "$(cat "$log/win-tests.seconds")")")
    # Each shard leaves its report; count its cases.
    for name in $(sed -nE 's/^ *Test +#[0-9]+: win\.(tempora_[a-z_]+)\.([0-9]+)$/\1-\2/p' \
        <(ctest --preset win -N 2>/dev/null)); do
        xml=build/win/test-results/$name.xml
        if [ -f "$xml" ]; then
            head=$(grep -m1 -o '<testsuites tests="[0-9]*" failures="[0-9]*" disabled="[0-9]*" errors="[0-9]*"' "$xml")
            read -r t f d e < <(sed -E 's/[^0-9]+/ /g' <<<"$head")
            passed=$((passed + t - f - d - e))
            failed=$((failed + f + e))
        else
            echo "$name left no report: it crashed or hung"
            failed=$((failed + 1))
        fi
    done
fi

# The release packages, installed and uninstalled under Wine.
if command -v makensis >/dev/null && [ -f build/win/bin/Tempora.exe ]; then
    echo "== installer: package, install silently, uninstall under Wine"
    if stage "installer" bash -c "tools/package.sh >'$log/package.log' 2>&1 &&
        tests/win/InstallerTest.sh 2>&1 | tee '$log/installer.log' | grep -E 'FAIL|InstallerTest'"; then
        passed=$((passed + 1))
    else
        tail -n 20 "$log/package.log"
        failed=$((failed + 1))
    fi
fi

stages+=("$(printf '%-34s %4d s' "all" $((SECONDS - started)))")
echo "== time of each stage"
printf '%s\n' "${stages[@]}"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
