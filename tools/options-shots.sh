#!/usr/bin/env bash
# The options dialog's six pages as users see them: the real program under
# Wine on Xvfb with a compositor (xcompmgr) for the frame's shadow, the dialog
# opened from the bar's menu and each tab clicked in turn.
# Runs a copy of the program folder, so the build's own data stays as it is.
# Writes docs/options-1.png … docs/options-6.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=build/win/bin
cp -r "$bin/Tempora.exe" "$bin/Frame.sk" "$bin/Holiday.lst" "$bin/Skin" "$bin/Clock" \
    "$bin/Sound" "$work/"

# shellcheck source=wine-env.sh
. tools/wine-env.sh build/win force-xvfb
xcompmgr -n >/dev/null 2>&1 &
compositor=$!
convert -size 8x8 xc:'#dfe6ee' "$work/dot.png"
display -backdrop -background '#dfe6ee' -geometry +0+0 "$work/dot.png" >/dev/null 2>&1 &
backdrop=$!

bar_x=474
bar_y=60
printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nClockFile=Classic.cl\r\nWinFile=Frame.sk\r\n[BAR]\r\nLeft=%d\r\nTop=%d\r\nDefWin=0\r\n[CLOCK]\r\nAlarm=1\r\nHalfAlarm=1\r\nAlarmType=1\r\nHotKey=1\r\nHotKey1=Ctrl + Shift\r\nHotKey2=T\r\n[MSG]\r\nCalendarLX=2\r\nCalendarStep=10\r\n[TIME]\r\nAutoChcek=1\r\nStepHour=6\r\n' \
    "$bar_x" "$bar_y" >"$work/skin.ini"
printf '2026-12-10 08:00:05\r\n' >"$work/TimeCheck.lst"

(cd "$work" && exec wine Tempora.exe) >/dev/null 2>&1 &
sleep 7
# 系统设置 → 常规设置: the ninth entry of the bar's menu, then its first item.
xdotool mousemove $((bar_x + 28)) $((bar_y + 17)) click 1
sleep 1
xdotool key Down Down Down Down Down Down Down Down Right Return
sleep 2

# The dialog is centred on the bar's monitor (1280 x 800).
dlg_x=$(((1280 - 472) / 2))
dlg_y=$(((800 - 353) / 2))
for page in 1 2 3 4 5 6; do
    xdotool mousemove $((dlg_x + 43)) $((dlg_y + 36 + (page - 1) * 30 + 14)) click 1
    xdotool mousemove 20 20
    sleep 1.5
    import -window root "$work/screen.png"
    convert "$work/screen.png" -crop 520x400+$((dlg_x - 24))+$((dlg_y - 20)) +repage \
        "$root/docs/options-$page.png"
    echo "docs/options-$page.png"
done

wineserver -k 2>/dev/null || true
kill "$backdrop" "$compositor" 2>/dev/null || true
wine_env_stop
