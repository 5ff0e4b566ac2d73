#!/usr/bin/env bash
# The bar with each docked view as it opens after start-up (BAR/DefWin), under
# Wine on Xvfb with a compositor (xcompmgr) blending the layered windows.
# Runs a copy of the program folder, so the build's own data stays as it is.
# Writes docs/docked-calendar.png and docs/docked-clock.png.
set -euo pipefail
# shellcheck source=shots-env.sh
. "$(dirname "$0")/shots-env.sh"
shots_build
shots_copy
shots_start --compositor

# One run with view `defwin` (1 clock, 2 calendar); the bar at 420,40.
shot() {
    local defwin=$1 geometry=$2 out=$3
    printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\nClockFile=Classic.cl\r\n[BAR]\r\nLeft=420\r\nTop=40\r\nDefWin=%s\r\n' \
        "$defwin" >"$work/skin.ini"
    shots_backdrop '#5b7fa6'
    shots_run
    sleep 8
    shots_grab "$geometry" "$out"
    shots_stop_programs
}

shot 2 520x460+390+16 docs/docked-calendar.png
shot 1 420x360+390+16 docs/docked-clock.png
shots_end
