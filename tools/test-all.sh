#!/usr/bin/env bash
# Builds every preset and runs every test: the native tests of the portable
# code under sanitizers with the checks of the source tree (#include layers,
# formatting), short runs of the fuzz targets, and the Windows tests under
# Wine. The release preset is only built, so that the benchmarks and the
# optimised tools keep compiling.
# Ends with one line "N passed, M failed"; exits non-zero on any failure.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD

tools/setup-deps.sh || exit 1

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

build() {  # preset
    if ! { cmake --preset "$1" && cmake --build --preset "$1"; } >"$log/build-$1.log" 2>&1; then
        tail -n 40 "$log/build-$1.log"
        echo "build of preset $1 failed (log: $log/build-$1.log)"
        failed=$((failed + 1))
        return 1
    fi
}

echo "== host: portable tests, include layers, formatting"
if build host; then
    ctest --preset host -j2 2>&1 | tee "$log/ctest-host.log" | grep -E 'Failed|tests passed' || true
    count_ctest "$log/ctest-host.log"
fi

echo "== release: optimised tools and benchmarks (built, not run)"
build release

echo "== fuzz: short runs of the parsers' fuzz targets"
if build fuzz; then
    ctest --preset fuzz 2>&1 | tee "$log/ctest-fuzz.log" | grep -E 'Failed|tests passed' || true
    count_ctest "$log/ctest-fuzz.log"
fi

echo "== win: Windows tests under Wine"
if build win; then
    rm -rf build/win/test-results
    # shellcheck source=wine-env.sh
    . tools/wine-env.sh build/win force-xvfb
    ctest --preset win 2>&1 | tee "$log/ctest-win.log" | grep -E 'Failed|tests passed|Passed' || true
    wine_env_stop
    # Each Windows test program is one ctest test; count its cases from its report.
    for exe in build/win/bin/tempora_*tests.exe; do
        name=$(basename "$exe" .exe)
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
    if tools/package.sh >"$log/package.log" 2>&1 &&
        tests/win/InstallerTest.sh 2>&1 | tee "$log/installer.log" | grep -E 'FAIL|InstallerTest'; then
        passed=$((passed + 1))
    else
        tail -n 20 "$log/package.log"
        failed=$((failed + 1))
    fi
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
