#!/usr/bin/env bash
# Reproduces the figures of docs/performance.md. Outside the test command:
# the Wine runs take minutes, and their figures depend on the machine's load.
#
#   tools/measure-all.sh                   everything, with 10-minute lateness runs
#   tools/measure-all.sh bench [FILTER]    Google Benchmark, release preset
#   tools/measure-all.sh tick-cost         callgrind instructions per tick (native)
#   tools/measure-all.sh idle [SECONDS]    CPU and resident memory against the floor program
#   tools/measure-all.sh cold-start [RUNS] start to a visible bar under Wine, median
#   tools/measure-all.sh lateness SECONDS [load]
#                                          tick trace under Wine, idle or with both
#                                          cores kept busy by two spinning shells
#
# The Wine runs use build/win (Tempora target built), each on a copy of
# build/win/bin so that the shipped data stays untouched, on their own Xvfb
# screen; they find their processes by their own Wine prefix, so other Wine
# sessions on the machine are never measured or stopped.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
floor_dir=${TEMPORA_FLOOR_DIR:-$root/../shared/bench/idlefloor}

machine() {
    echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')," \
        "load average $(cut -d' ' -f1-3 /proc/loadavg)"
}

build_release() {
    cmake --preset release >/dev/null
    cmake --build --preset release --target tempora_bench tempora_tick_cost >/dev/null
}

build_win() {
    cmake --preset win >/dev/null
    cmake --build --preset win --target Tempora tempora_data >/dev/null
}

cmd_bench() {
    build_release
    machine
    build/release/tempora_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
        --benchmark_filter="${1:-.}" | grep -E '_median|^Benchmark|^---'
}

# Instructions of the ticks alone: two runs that differ only in their number
# of ticks, so that start-up (skin decoding, the first full compose) cancels.
cmd_tick_cost() {
    build_release
    command -v valgrind >/dev/null || { echo "valgrind is not installed"; return 1; }
    local out short=60 long=660
    out=$(mktemp -d /tmp/tick-cost.XXXX)
    for view in bar clock; do
        local arg="" ir=()
        [ "$view" = clock ] && arg=clock
        for n in $short $long; do
            valgrind --tool=callgrind --callgrind-out-file="$out/cg.$n" \
                build/release/tempora_tick_cost "$n" $arg >/dev/null 2>"$out/log"
            ir+=("$(sed -n 's/.*Collected : //p' "$out/log")")
        done
        echo "$view: $(( (ir[1] - ir[0]) / (long - short) )) instructions per tick" \
            "($short ticks: ${ir[0]}, $long ticks: ${ir[1]})"
        build/release/tempora_tick_cost 3600 $arg
    done
    rm -rf "$out"
}

# --- Wine sessions -----------------------------------------------------------

wine_start() {
    work=$(mktemp -d /tmp/tempora-measure.XXXX)
    cp -r build/win/bin "$work/run"
    export TEMPORA_WINEPREFIX="$work/prefix"
    # shellcheck source=wine-env.sh
    . tools/wine-env.sh build/win force-xvfb
    trap wine_stop EXIT
    trap 'exit 1' INT TERM
}

wine_stop() {
    wine_env_stop
    rm -rf "$work"
    trap - EXIT INT TERM
}

# The pid of the Windows program NAME (its process name, case-insensitive) in
# this session's prefix.
prefix_pid() {
    local p
    for p in $(pgrep -i -x "$1" || true); do
        if { tr '\0' '\n' <"/proc/$p/environ"; } 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
            echo "$p"
            return 0
        fi
    done
    return 1
}

wait_pid() {
    local p
    for _ in $(seq 1 100); do
        p=$(prefix_pid "$1") && { echo "$p"; return 0; }
        sleep 0.1
    done
    echo "$1 did not start" >&2
    return 1
}

# The bar is on screen: a mapped top-level window of Tempora.exe, 332 px wide.
bar_visible() {
    local w
    for w in $(xdotool search --onlyvisible --classname 'tempora.exe' 2>/dev/null); do
        xwininfo -id "$w" 2>/dev/null | grep -q 'Width: 332' && return 0
    done
    return 1
}

cmd_idle() {
    local secs=${1:-60}
    build_win
    [ -f "$floor_dir/floor.c" ] || { echo "no floor program at $floor_dir"; return 1; }
    machine
    wine_start
    x86_64-w64-mingw32-gcc -O2 -mwindows -o "$work/run/floor.exe" "$floor_dir/floor.c"
    (cd "$work/run" && exec wine ./Tempora.exe >/dev/null 2>&1) &
    (cd "$work/run" && exec wine ./floor.exe >/dev/null 2>&1) &
    local app fl
    app=$(wait_pid 'tempora.exe')
    fl=$(wait_pid 'floor.exe')
    sleep 10
    # Nanoseconds on a CPU, all threads together: finer than the stat file's ticks.
    cpu() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{s += $1} END {printf "%d", s}'; }
    rss() { awk '/VmRSS/ {print $2}' "/proc/$1/status"; }
    # Resident pages no other process shares (Wine's DLLs are mostly shared).
    private() { awk '/^Private_/ {s += $2} END {print s}' "/proc/$1/smaps_rollup"; }
    local a0 f0 a1 f1
    a0=$(cpu "$app"); f0=$(cpu "$fl"); sleep "$secs"; a1=$(cpu "$app"); f1=$(cpu "$fl")
    awk -v a=$((a1 - a0)) -v f=$((f1 - f0)) -v hz=1000000000 -v s="$secs" \
        -v ar="$(rss "$app")" -v fr="$(rss "$fl")" -v ap="$(private "$app")" -v fp="$(private "$fl")" 'BEGIN {
      printf "over %d s: Tempora.exe %.3f s CPU (%.3f%%), %.1f MiB resident (%.1f MiB private); floor %.3f s CPU (%.3f%%), %.1f MiB resident (%.1f MiB private); CPU ratio %.2f\n",
        s, a / hz, 100 * a / hz / s, ar / 1024, ap / 1024, f / hz, 100 * f / hz / s, fr / 1024, fp / 1024, (f > 0 ? a / f : 0) }'
    machine
    wine_stop
}

# Milliseconds from `wine Tempora.exe` to the bar on screen (mapped, 332 px
# wide), polled every 10 ms. "warm": the Wine session (wineserver, explorer)
# is already up, as on Windows where the system is; "cold": it starts with
# the program. The files are in the page cache either way.
cmd_cold_start() {
    local runs=${1:-7}
    build_win
    machine
    wine_start
    local mode i t0 t1 p times
    for mode in warm cold; do
        times=()
        for i in $(seq 1 "$runs"); do
            # Each run in a new Wine session: a start right after a killed
            # instance took about 2 s longer.
            wineserver -k >/dev/null 2>&1 || true
            wineserver -w
            [ "$mode" = cold ] || wine cmd /c exit >/dev/null 2>&1
            t0=$(date +%s%N)
            (cd "$work/run" && exec wine ./Tempora.exe >/dev/null 2>&1) &
            until bar_visible; do
                sleep 0.01
                (( ($(date +%s%N) - t0) < 60000000000 )) || { echo "no bar within 60 s"; return 1; }
            done
            t1=$(date +%s%N)
            times+=($(( (t1 - t0) / 1000000 )))
            p=$(prefix_pid 'tempora.exe') && kill "$p"
            while prefix_pid 'tempora.exe' >/dev/null; do sleep 0.1; done
        done
        printf '%s: median %s ms of %s runs (%s)\n' "$mode" \
            "$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')" \
            "$runs" "${times[*]}"
    done
    wine_stop
}

# The tick trace over SECONDS, with the calendar view docked under the bar
# (BAR/DefWin=2; 1 would dock the analog clock).
cmd_lateness() {
    local secs=${1:?seconds} load=${2:-}
    build_win
    machine
    wine_start
    printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\nClockFile=Classic.cl\r\n[BAR]\r\nDefWin=2\r\n' \
        >"$work/run/skin.ini"
    local spinners=()
    if [ "$load" = load ]; then
        for _ in 1 2; do
            nice -n 0 sh -c 'while :; do :; done' &
            spinners+=($!)
        done
        echo "load: two spinning shells, pids ${spinners[*]}"
    fi
    local trace
    trace=$(winepath -w "$work/ticks.txt")
    (cd "$work/run" && exec wine ./Tempora.exe /trace-ticks "$trace" >/dev/null 2>&1) &
    wait_pid 'tempora.exe' >/dev/null
    busiest() {
        echo "busiest processes at the $1 (two seconds' sample):"
        top -b -n 2 -d 2 -o %CPU | awk '/^top -/ {n++} n == 2' | sed -n '7,16p'
    }
    busiest start
    sleep "$secs"
    busiest end
    [ ${#spinners[@]} -eq 0 ] || kill "${spinners[@]}"
    machine
    python3 tools/tick-report.py "$work/ticks.txt"
    cp "$work/ticks.txt" "build/ticks-${load:-idle}.txt"
    echo "trace kept in build/ticks-${load:-idle}.txt"
    wine_stop
}

case "${1:-all}" in
bench) shift; cmd_bench "$@" ;;
tick-cost) cmd_tick_cost ;;
idle) shift; cmd_idle "$@" ;;
cold-start) shift; cmd_cold_start "$@" ;;
lateness) shift; cmd_lateness "$@" ;;
all)
    cmd_bench
    cmd_tick_cost
    cmd_idle 60
    cmd_cold_start 7
    cmd_lateness 600
    cmd_lateness 600 load
    ;;
*) sed -n '2,16p' "$0"; exit 2 ;;
esac
