#!/usr/bin/env bash
# The calendar view in every shipped skin on February 2026 (the Spring
# Festival, two solar terms, days off and make-up working days, two marks),
# with the hover hint over a day, under Wine with a compositor, and January
# 2027, whose holidays are not in the data. Runs a copy of the program folder.
# Writes docs/calendar-<skin>.png, docs/bar-hint.png and docs/calendar-no-data.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bin=build/win/bin
cp -r "$bin/Tempora.exe" "$bin/PopupMsg.exe" "$bin/Frame.sk" "$bin/Holiday.lst" "$bin/Skin" \
    "$bin/Sound" "$work/"
# 买花 on 14 February, 元宵 on the fifteenth of the first lunar month.
printf '00214=\xc2\xf2\xbb\xa8\r\n10115=\xd4\xaa\xcf\xfc\r\n' >"$work/Marks.rec"

# shellcheck source=wine-env.sh
. tools/wine-env.sh build/win force-xvfb
xcompmgr -n >/dev/null 2>&1 &
compositor=$!
convert -size 8x8 xc:white "$work/dot.png"
display -backdrop -background '#3a6ea5' -geometry +0+0 "$work/dot.png" >/dev/null 2>&1 &
backdrop=$!

for package in data/Skin/*.sk; do
    name=$(basename "$package" .sk)
    printf '[SKIN]\r\nSkinFile=%s\r\nWinFile=Frame.sk\r\n[BAR]\r\nDefWin=0\r\nLeft=300\r\nTop=20\r\nTr=255\r\n' \
        "$name.sk" >"$work/skin.ini"
    (cd "$work" && exec wine Tempora.exe) >/dev/null 2>&1 &
    sleep 7
    # Menu button, 日历; the month caption, 02月; then rest on 18 February.
    xdotool mousemove 325 37 click 1; sleep 1
    xdotool mousemove 355 109 click 1; sleep 2
    xdotool mousemove 450 79 click 1; sleep 1
    xdotool mousemove 465 128 click 1; sleep 1
    xdotool mousemove 470 250; sleep 0.3
    xdotool mousemove 472 252; sleep 2
    import -window root "$work/screen.png"
    convert "$work/screen.png" -crop 400x440+290+10 +repage "$root/docs/calendar-$name.png"
    echo "docs/calendar-$name.png"
    wineserver -k 2>/dev/null || true
    sleep 1
done
printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\n[BAR]\r\nDefWin=0\r\nLeft=300\r\nTop=20\r\nTr=255\r\n[MSG]\r\nCalendarLX=0\r\n' \
    >"$work/skin.ini"
(cd "$work" && exec faketime '2026-12-22 10:00:00' wine Tempora.exe) >/dev/null 2>&1 &
sleep 7
xdotool mousemove 420 37; sleep 0.5
xdotool mousemove 422 38; sleep 3
import -window root "$work/screen.png"
convert "$work/screen.png" -crop 420x150+290+10 +repage "$root/docs/bar-hint.png"
echo docs/bar-hint.png
wineserver -k 2>/dev/null || true

# January 2027, a month of a year the shipped holidays do not cover: the
# calendar says so in a quiet line. Opened on 22 December 2026, then 下个月.
printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\n[BAR]\r\nDefWin=0\r\nLeft=300\r\nTop=20\r\nTr=255\r\n' \
    >"$work/skin.ini"
(cd "$work" && exec faketime '2026-12-22 10:00:00' wine Tempora.exe) >/dev/null 2>&1 &
# Wine may first update its prefix for the faked date: 日历 from the bar's
# menu until its window shows.
sleep 10
for _ in 1 2 3 4 5; do
    xdotool mousemove 325 37 click 1; sleep 1
    xdotool mousemove 355 109 click 1; sleep 2
    xdotool search --name '^日历$' >/dev/null 2>&1 && break
    xdotool key Escape; sleep 3
done
xdotool mousemove 613 384 click 1; sleep 1
xdotool mousemove 700 300; sleep 2
import -window root "$work/screen.png"
convert "$work/screen.png" -crop 400x440+290+10 +repage "$root/docs/calendar-no-data.png"
echo docs/calendar-no-data.png
wineserver -k 2>/dev/null || true
kill "$backdrop" "$compositor" 2>/dev/null || true
wine_env_stop
