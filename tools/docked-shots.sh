#!/usr/bin/env bash
# The bar with each docked view as it opens after start-up (BAR/DefWin), under
# Wine on Xvfb with a compositor (xcompmgr) blending the layered windows.
# Runs a copy of the program folder, so the build's own data stays as it is.
# Writes docs/docked-calendar.png and docs/docked-clock.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=build/win/bin
cp -r "$bin/Tempora.exe" "$bin/PopupMsg.exe" "$bin/Frame.sk" "$bin/Holiday.lst" "$bin/Skin" \
    "$bin/Clock" "$bin/Sound" "$work/"

# shellcheck source=wine-env.sh
. tools/wine-env.sh build/win force-xvfb
xcompmgr -n >/dev/null 2>&1 &
compositor=$!
convert -size 8x8 xc:'#5b7fa6' "$work/dot.png"

# One run with view `defwin` (1 clock, 2 calendar); the bar at 420,40.
shot() {
    local defwin=$1 geometry=$2 out=$3
    printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\nClockFile=Classic.cl\r\n[BAR]\r\nLeft=420\r\nTop=40\r\nDefWin=%s\r\n' \
        "$defwin" >"$work/skin.ini"
    display -backdrop -background '#5b7fa6' -geometry +0+0 "$work/dot.png" >/dev/null 2>&1 &
    local backdrop=$!
    sleep 1
    (cd "$work" && exec wine Tempora.exe) >/dev/null 2>&1 &
    sleep 8
    import -window root "$work/screen.png"
    convert "$work/screen.png" -crop "$geometry" +repage "$root/$out"
    wineserver -k 2>/dev/null || true
    kill "$backdrop" 2>/dev/null || true
    wait "$backdrop" 2>/dev/null || true
    echo "$out"
}

shot 2 520x460+390+16 docs/docked-calendar.png
shot 1 420x360+390+16 docs/docked-clock.png
kill "$compositor" 2>/dev/null || true
wine_env_stop
