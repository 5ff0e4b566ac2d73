#!/usr/bin/env bash
# Screenshots of the bar under Wine in every shipped skin, cropped to the bar
# and scaled 2x, into docs/screens/bar-<skin>.png. Runs a copy of the program
# folder, so the build's own data stays as it is.
set -euo pipefail
# shellcheck source=shots-env.sh
. "$(dirname "$0")/shots-env.sh"
shots_build
shots_copy
shots_start
# A desktop-coloured root so that see-through windows show what lies behind them.
xsetroot -solid '#3a6ea5' 2>/dev/null || true
for package in data/Skin/*.sk; do
    name=$(basename "$package" .sk)
    printf '[SKIN]\r\nSkinFile=%s\r\nWinFile=Frame.sk\r\n[BAR]\r\nDefWin=0\r\nLeft=860\r\nTop=20\r\n' "$name.sk" >"$work/skin.ini"
    shots_run
    sleep 6
    # The bar at 860,20 with a margin.
    shots_grab 352x54+850+10 "docs/screens/bar-$name.png" 200%
    shots_stop_programs
    sleep 1
done
