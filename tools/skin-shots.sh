#!/usr/bin/env bash
# Screenshots of the bar under Wine in every shipped skin, cropped to the bar
# and scaled 2x, into docs/screens/bar-<skin>.png. Runs a copy of the program
# folder, so the build's own data stays as it is.
#
#   tools/skin-shots.sh [PERCENT]  with 150 or 200: the display set to that
#       scale (the prefix's LogPixels, put back afterwards), the bar as it
#       shows there, unscaled, into docs/screens/bar-<skin>@<PERCENT>.png
set -euo pipefail
percent=${1:-100}
# shellcheck source=shots-env.sh
. "$(dirname "$0")/shots-env.sh"
shots_build
shots_copy
shots_start
# A desktop-coloured root so that see-through windows show what lies behind them.
xsetroot -solid '#3a6ea5' 2>/dev/null || true
desktop='HKCU\Control Panel\Desktop'
if [ "$percent" != 100 ]; then
    wine reg add "$desktop" /v LogPixels /t REG_DWORD /d $((percent * 96 / 100)) /f >/dev/null 2>&1
fi
for package in data/Skin/*.sk; do
    name=$(basename "$package" .sk)
    case $name in *@*x) continue ;; esac # a larger companion, not a skin of its own
    left=860
    [ "$percent" = 100 ] || left=100
    printf '[SKIN]\r\nSkinFile=%s\r\nWinFile=Frame.sk\r\n[BAR]\r\nDefWin=0\r\nLeft=%s\r\nTop=20\r\n' "$name.sk" $left >"$work/skin.ini"
    shots_run
    sleep 6
    # The bar at left,20 with a margin.
    if [ "$percent" = 100 ]; then
        shots_grab 352x54+850+10 "docs/screens/bar-$name.png" 200%
    else
        shots_grab $((332 * percent / 100 + 20))x$((34 * percent / 100 + 20))+90+10 \
            "docs/screens/bar-$name@$percent.png"
    fi
    shots_stop_programs
    sleep 1
done
if [ "$percent" != 100 ]; then
    wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1 || true
fi
