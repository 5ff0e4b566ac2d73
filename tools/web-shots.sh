#!/usr/bin/env bash
# The About box and the start-page offer as users see them: the real program
# under Wine on Xvfb with a compositor (xcompmgr) for the soft shadows, driven
# by the mouse and keyboard through xdotool. Runs a copy of the program
# folder, so the build's own data stays as it is; no network is involved
# (no WEB/Host). Writes docs/about.png and docs/homepage.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=build/win/bin
cp -r "$bin/Tempora.exe" "$bin/Frame.sk" "$bin/Holiday.lst" "$bin/Skin" "$bin/Sound" "$work/"
mkdir -p "$work/Sup"

# shellcheck source=wine-env.sh
. tools/wine-env.sh build/win force-xvfb
xcompmgr -n >/dev/null 2>&1 &
compositor=$!
wine reg add 'HKCU\Software\Microsoft\Internet Explorer\Main' /v 'Start Page' /d 'about:blank' /f \
    >/dev/null 2>&1
convert -size 8x8 xc:'#dfe6ee' "$work/dot.png"
display -backdrop -background '#dfe6ee' -geometry +0+0 "$work/dot.png" >/dev/null 2>&1 &
backdrop=$!

# The bar above the middle of the screen, where the dialogs open.
printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\n[BAR]\r\nDefWin=0\r\nLeft=474\r\nTop=200\r\n[WEB]\r\nHomePage=http://127.0.0.1:8080/\r\n' \
    >"$work/skin.ini"
bar_x=474
bar_y=200

# One run: start the program, let `drive` act on it, take the screen.
shot() {
    local geometry=$1 out=$2 drive=$3
    (cd "$work" && exec wine Tempora.exe) >/dev/null 2>&1 &
    sleep 6
    "$drive"
    sleep 2
    import -window root "$work/screen.png"
    convert "$work/screen.png" -crop "$geometry" +repage "$root/$out"
    wineserver -k 2>/dev/null || true
    sleep 1
    echo "$out"
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

kill "$backdrop" "$compositor" 2>/dev/null || true
wine_env_stop
