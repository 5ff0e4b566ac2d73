#!/usr/bin/env bash
# The soft shadows as users see them: the bar over a light and over a dark
# desktop, and the shutdown countdown in the shipped frame, under Wine on Xvfb
# with a compositor (xcompmgr), which blends layered windows as Windows does.
# Runs a copy of the program folder, so the build's own data stays as it is.
# Writes docs/shadow-light.png, docs/shadow-dark.png, docs/countdown.png and
# docs/popup.png.
set -euo pipefail
# shellcheck source=shots-env.sh
. "$(dirname "$0")/shots-env.sh"
shots_build
shots_copy
shots_start --compositor

# One run: a full-screen backdrop in `colour`, the program (the clock unless
# a command follows) on top, a picture of the screen after `wait` seconds,
# cropped to `geometry` and scaled by `scale`.
shot() {
    local colour=$1 wait=$2 geometry=$3 scale=$4 out=$5
    shift 5
    shots_backdrop "$colour"
    shots_run "$@"
    sleep "$wait"
    shots_grab "$geometry" "$out" "$scale"
    shots_stop_programs
}

printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\n[BAR]\r\nDefWin=0\r\nLeft=860\r\nTop=60\r\n' \
    >"$work/skin.ini"
shot '#eef1f5' 6 380x70+846+46 200% docs/shadow-light.png
shot '#1e2633' 6 380x70+846+46 200% docs/shadow-dark.png

# A shutdown task due eight seconds after the start; the picture is taken while
# its countdown runs, long before it would end.
due=$(( ($(date +%s) + 8) % 60 ))
printf '*0%02d\xc3\xeb\r\n4\xd6\xb4\xd0\xd0 (\xb9\xd8\xbb\xfa)\r\n' "$due" >"$work/War.lst"
shot '#eef1f5' 12 360x200+460+300 100% docs/countdown.png
shot '#eef1f5' 4 420x260+880+548 100% docs/popup.png PopupMsg.exe /demo \
    '日历标记：\n2026年02月17日 星期二\n\n春节，正月初一：给外婆打电话拜年' '时钟报时：8:00:00'
shots_end
