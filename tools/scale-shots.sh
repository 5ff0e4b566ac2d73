#!/usr/bin/env bash
# The program on a display of 150 % and 200 %: the bar with the calendar and
# with the clock, and the options dialog at 200 %, under Wine with a
# compositor. The display's dpi is the user's LogPixels setting of the Wine
# prefix, which a program reads when it starts; the value before comes back
# afterwards. Runs a copy of the program folder. Writes
# docs/scale-<percent>-calendar.png, docs/scale-<percent>-clock.png and
# docs/scale-200-options.png.
set -euo pipefail
# Room for the calendar under the bar at 200 %.
export TEMPORA_SCREEN=1600x1000x24
. "$(dirname "$0")/shots-env.sh"
shots_build
shots_copy
shots_start --compositor --backdrop '#3a6ea5'

desktop='HKCU\Control Panel\Desktop'
old=$( (wine reg query "$desktop" /v LogPixels 2>/dev/null || true) | tr -d '\r' | awk '/LogPixels/ {print $3}')
restore() {
    if [ -n "$old" ]; then
        wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$((old))" /f >/dev/null 2>&1
    else
        wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1 || true
    fi
}
trap 'restore; shots_end; rm -rf "$work"' EXIT

# Clear of the system tray's window in the screen's corner.
left=200
top=100
for dpi in 144 192; do
    percent=$((dpi * 100 / 96))
    wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    # DefWin opens the view by itself shortly after start-up: 2 日历, 1 时钟.
    for view in calendar:2 clock:1; do
        name=${view%%:*}
        printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\nClockFile=Classic.cl\r\n[BAR]\r\nLeft=%d\r\nTop=%d\r\nTr=255\r\nDefWin=%d\r\n[MSG]\r\nCalendarLX=0\r\n' \
            "$left" "$top" "${view##*:}" >"$work/skin.ini"
        shots_run
        shots_wait_window 嘀嗒桌面时钟 20
        sleep 6
        # The bar's width and the view's height at this scale, with room for the shadow.
        w=$((332 * dpi / 96 + 80))
        h=$((34 * dpi / 96 + 390 * dpi / 96 + 60))
        shots_grab "${w}x${h}+$((left - 40))+$((top - 30))" "docs/scale-$percent-$name.png"
        shots_stop_programs
        sleep 1
    done
done

# The options dialog at 200 %, opened from the bar's menu (系统设置 → 常规设置),
# centred on the screen.
printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\nClockFile=Classic.cl\r\n[BAR]\r\nLeft=%d\r\nTop=%d\r\nTr=255\r\nDefWin=0\r\n[MSG]\r\nCalendarLX=0\r\n' \
    "$left" "$top" >"$work/skin.ini"
shots_run
shots_wait_window 嘀嗒桌面时钟 20
sleep 6
# The menu button sits at 28, 17 of the bar's 332 x 34.
bar=$(xdotool search --name 嘀嗒桌面时钟 | head -n 1)
eval "$(xdotool getwindowgeometry --shell "$bar")"
xdotool mousemove $((X + WIDTH * 28 / 332)) $((Y + HEIGHT / 2)) click 1
sleep 1
xdotool key Down Down Down Down Down Down Down Down Right Return
sleep 3
w=$((472 * 2)) h=$((353 * 2))
shots_grab "$((w + 48))x$((h + 40))+$(((1600 - w) / 2 - 24))+$(((1000 - h) / 2 - 20))" \
    docs/scale-200-options.png
