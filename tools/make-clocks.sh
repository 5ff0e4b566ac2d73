#!/usr/bin/env bash
# Renders the clock styles drawn in art/clocks/ and packs them with skinpack
# into the shipped styles. The build never runs this: the packages are
# committed, so only whoever redraws a style needs these tools (Debian:
# librsvg2-bin, imagemagick, fonts-wqy-zenhei).
#
#   art/clocks/NAME/{sheet.svg,keys.ini}  ->  data/Clock/NAME.cl
#
# Each style gets its larger companions, NAME@1.5x.cl and NAME@2x.cl: the
# face and hands rendered from the drawing at 150 % and 200 %, the key list's
# rectangles and centre scaled to match (tools/scale-keys.awk), so that a
# larger display turns hands drawn at its size.
#
# The clock window is colour-keyed, so a pixel is either drawn or magenta:
# the drawing is rendered with its own alpha and cut at half coverage, a
# pixel more than half covered keeping the colour of what covers it (PNG
# alpha is not premultiplied), anything less becoming magenta. Nothing is
# blended with magenta, so no pink fringe; the window smooths the hands
# itself as it turns them. Opaque pure magenta in the drawing is nudged to
# 0xFE00FF.
#
#   tools/make-clocks.sh          rebuild the styles
#   tools/make-clocks.sh --check  rebuild into a scratch folder and compare with the committed styles
#   tools/make-clocks.sh --shots  screenshots of the program under Wine (build/win) with each
#                                 style open below the bar at 10:08:30, into docs/clock-NAME.png
#                                 (Debian: faketime, xdotool)
set -euo pipefail
shopt -s nullglob

root=$(cd "$(dirname "$0")/.." && pwd)
art=$root/art/clocks
build=$root/build/clocks
check=0
shots=0
if [ "${1:-}" = "--shots" ]; then
    shots=1
elif [ "${1:-}" = "--check" ]; then
    check=1
elif [ $# -gt 0 ]; then
    echo "usage: $0 [--check | --shots]" >&2
    exit 2
fi

command -v rsvg-convert >/dev/null || {
    echo "rsvg-convert is missing: apt-get install librsvg2-bin" >&2
    exit 1
}
# A wrapper earlier on PATH may stand in for ImageMagick's convert; use the real one when present.
im=convert
[ -x /usr/bin/convert ] && im=/usr/bin/convert
command -v "$im" >/dev/null || {
    echo "convert is missing: apt-get install imagemagick" >&2
    exit 1
}

if [ $shots = 1 ]; then
    # Wine runs under a wall clock that stands at 10:08:30 (its monotonic
    # clock, which timers and waits use, keeps going), so the hands stand
    # there for the picture; the bar's menu opens the clock view ("时钟", its
    # second item) where CHILD says.
    bin=$root/build/win/bin
    faketime_lib=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
    [ -x "$bin/Tempora.exe" ] || { echo "build the win preset first" >&2; exit 1; }
    [ -f "$faketime_lib" ] || { echo "libfaketime is missing: apt-get install faketime" >&2; exit 1; }
    command -v xdotool >/dev/null || { echo "xdotool is missing: apt-get install xdotool" >&2; exit 1; }
    wrap=$(mktemp -d)
    cp "$bin/skin.ini" "$bin/skin.ini.keep"
    trap 'mv "$bin/skin.ini.keep" "$bin/skin.ini"; rm -rf "$wrap"' EXIT
    cat >"$wrap/wine" <<WRAP
#!/bin/sh
export LD_PRELOAD=$faketime_lib FAKETIME="2026-12-10 10:08:30" FAKETIME_DONT_FAKE_MONOTONIC=1 TZ=UTC
exec $(command -v wine) "\$@"
WRAP
    chmod +x "$wrap/wine"
    # The bar sits clear of the tray's stand-in at the top-left; the desktop
    # colour is set again once Wine has its desktop; the menu is walked by keys.
    hook="xsetroot -solid '#3a6ea5'; xdotool mousemove 328 37 click 1; sleep 1
          xdotool key Down; sleep 0.3; xdotool key Down; sleep 0.3; xdotool key Return
          xdotool mousemove 900 700; sleep 2"
    for style in "$root"/data/Clock/*.cl; do
        name=$(basename "$style" .cl)
        case $name in *@*x) continue ;; esac
        printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\nClockFile=%s\r\n[BAR]\r\nLeft=300\r\nTop=20\r\n[CHILD]\r\nLeft=336\r\nTop=62\r\n' \
            "$name.cl" >"$bin/skin.ini"
        PATH="$wrap:$PATH" \
            TEMPORA_SHOT_HOOK="$hook" \
            "$root/tools/screenshot.sh" "/tmp/tempora-clock-$name.png" 6 >/dev/null
        "$im" "/tmp/tempora-clock-$name.png" -crop 372x352+280+2 +repage \
            -define png:exclude-chunks=date,time,tIME,zTXt,tEXt,iTXt "PNG24:$root/docs/clock-$name.png"
        echo "docs/clock-$name.png"
    done
    exit 0
fi

skinpack=$root/build/host/skinpack
if [ ! -x "$skinpack" ]; then
    [ -d "$root/build/host" ] || cmake --preset host -S "$root" >/dev/null
    cmake --build "$root/build/host" --target skinpack -j2 >/dev/null
fi

out=$root/data/Clock
if [ $check = 1 ]; then
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
fi
rm -rf "$build"
mkdir -p "$build" "$out"

for dir in "$art"/*/; do
    name=$(basename "$dir")
    for suffix in "" @1.5x @2x; do
        case $suffix in
            @1.5x) percent=150 ;; @2x) percent=200 ;; *) percent=100 ;;
        esac
        keys=$dir/keys.ini
        if [ $percent != 100 ]; then
            keys=$build/$name$suffix.ini
            awk -v percent=$percent -f "$root/tools/scale-keys.awk" "$dir/keys.ini" "$dir/keys.ini" >"$keys"
        fi
        rsvg-convert --zoom "$(awk -v p=$percent 'BEGIN { print p / 100 }')" "$dir/sheet.svg" \
            -o "$build/$name$suffix.png"
        "$im" "$build/$name$suffix.png" -channel A -threshold 50% +channel \
            -fill '#FE00FF' -opaque '#FF00FFFF' \
            -background '#FF00FF' -alpha remove -alpha off -type TrueColor "BMP3:$build/$name$suffix.bmp"
        "$skinpack" pack "$keys" "$build/$name$suffix.bmp" "$out/$name$suffix.cl" >/dev/null
        "$skinpack" check "$out/$name$suffix.cl" --window clock >/dev/null
        echo "packed $name -> data/Clock/$name$suffix.cl"
    done
done

if [ $check = 1 ]; then
    status=0
    for f in "$out"/*.cl; do
        if ! cmp -s "$f" "$root/data/Clock/$(basename "$f")"; then
            echo "differs from the committed file: data/Clock/$(basename "$f")" >&2
            status=1
        fi
    done
    exit $status
fi
