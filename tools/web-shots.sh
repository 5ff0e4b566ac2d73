#!/usr/bin/env bash
# The About box and the start-page offer as users see them: the real program
# under Wine on Xvfb with a compositor (xcompmgr) for the soft shadows, driven
# by the mouse and keyboard through xdotool. Runs a copy of the program
# folder, so the build's own data stays as it is; no network is involved
# (no WEB/Host). Writes docs/about.png and docs/homepage.png.
set -euo pipefail
# shellcheck source=shots-env.sh
. "$(dirname "$0")/shots-env.sh"
shots_build
shots_copy
mkdir -p "$work/Sup"

shots_start --compositor --backdrop '#dfe6ee'
wine reg add 'HKCU\Software\Microsoft\Internet Explorer\Main' /v 'Start Page' /d 'about:blank' /f \
    >/dev/null 2>&1

# The bar above the middle of the screen, where the dialogs open.
printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\n[BAR]\r\nDefWin=0\r\nLeft=474\r\nTop=200\r\n[WEB]\r\nHomePage=http://127.0.0.1:8080/\r\n' \
    >"$work/skin.ini"
bar_x=474
bar_y=200

# One run: start the program, let `drive` act on it, take the screen.
shot() {
    local geometry=$1 out=$2 drive=$3
    shots_run
    sleep 6
    "$drive"
    sleep 2
    shots_grab "$geometry" "$out"
    shots_stop_programs
    sleep 1
}

# The main menu from its button, then "关于", the item above the last.
open_about() {
    xdotool mousemove $((bar_x + 28)) $((bar_y + 17)) click 1
    sleep 1
    xdotool key Up Up Return
    xdotool mousemove 20 20
}

# A start-page ad beside the date: click the date line until the ad is the
# line that shows (the offer then disables the bar, so later clicks do nothing).
open_offer() {
    for _ in $(seq 1 12); do
        xdotool mousemove $((bar_x + 250)) $((bar_y + 22)) click 1
        sleep 0.7
    done
    xdotool mousemove 20 20
}

shot 520x370+380+170 docs/about.png open_about
printf '1|5|\r\n*\r\n3\r\n把嘀嗒主页设为浏览器主页\r\n\r\nhttp://127.0.0.1:8080/\r\n' |
    iconv -f UTF-8 -t GBK >"$work/Sup/Ad.his"
shot 520x370+380+170 docs/homepage.png open_offer

shots_end
