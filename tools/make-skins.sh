#!/usr/bin/env bash
# Renders the skin artwork in art/skins/ and packs it with skinpack into the
# shipped packages. The build itself never runs this: the packages are
# committed, so only whoever redraws a skin needs these tools (Debian:
# librsvg2-bin, imagemagick, fonts-wqy-zenhei for the previews).
#
#   art/skins/window/NAME/{sheet.svg,keys.ini}  ->  data/Skin/NAME.sk
#   art/skins/frame/NAME/{sheet.svg,keys.ini}   ->  data/NAME.sk (the dialog frame, SKIN/WinFile)
#
# Each package gets its larger companions, NAME@1.5x.sk and NAME@2x.sk: the
# same drawing rendered at 150 % and 200 %, with the rectangles of the key
# list scaled to match (tools/scale-keys.awk). A display at such a scale
# shows them pixel for pixel; other scales resize the nearest one above.
#
# Colour-keyed windows have no partial transparency, so a pixel is either
# drawn or magenta. The drawing is rendered with its own alpha and then cut at
# half coverage: a pixel more than half covered keeps the colour of what covers
# it (PNG alpha is not premultiplied, so an edge pixel has the edge's own
# colour), anything less becomes magenta. No pixel is ever blended with
# magenta, so no pink fringe. Opaque pure magenta in the drawing would turn
# see-through and is nudged to 0xFE00FF.
#
# Previews land in docs/skins/: every bar at 100 % and 300 % (nearest
# neighbour) on a desktop-blue background, normal and with the buttons
# hovered, with the time panel, LED digits and a date line drawn in the skin's
# colours the way the bar draws them; and the calendar and weather windows.
#
#   tools/make-skins.sh          rebuild the packages and previews
#   tools/make-skins.sh --check  rebuild into a scratch folder and compare with the committed packages
set -euo pipefail
shopt -s nullglob

root=$(cd "$(dirname "$0")/.." && pwd)
art=$root/art/skins
build=$root/build/skins
docs=$root/docs/skins
check=0
if [ "${1:-}" = "--check" ]; then
    check=1
elif [ $# -gt 0 ]; then
    echo "usage: $0 [--check]" >&2
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

skinpack=$root/build/host/skinpack
ledpng=$root/build/host/led-png
if [ ! -x "$skinpack" ] || [ ! -x "$ledpng" ]; then
    [ -d "$root/build/host" ] || cmake --preset host -S "$root" >/dev/null
    cmake --build "$root/build/host" --target skinpack led-png -j2 >/dev/null
fi

out_data=$root/data
if [ $check = 1 ]; then
    out_data=$(mktemp -d)
    trap 'rm -rf "$out_data"' EXIT
fi
rm -rf "$build"
mkdir -p "$build" "$out_data/Skin"
[ $check = 1 ] || mkdir -p "$docs"

# ini_get FILE SECTION KEY DEFAULT: a value of the key list, names in any case.
ini_get() {
    awk -v s="$2" -v k="$3" -v d="$4" '
        BEGIN { s = tolower(s); k = tolower(k) }
        { sub(/\r$/, "") }
        /^[ \t]*\[/ { n = $0; gsub(/^[ \t]*\[|\][ \t]*$/, "", n); in_s = (tolower(n) == s); next }
        in_s && index($0, "=") {
            key = substr($0, 1, index($0, "=") - 1); gsub(/[ \t]/, "", key)
            if (tolower(key) == k) { v = substr($0, index($0, "=") + 1); gsub(/^[ \t]+|[ \t]+$/, "", v); print v; found = 1; exit }
        }
        END { if (!found) print d }' "$1"
}
# web_colour DECIMAL: a 0x00BBGGRR colour as #rrggbb.
web_colour() { printf '#%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)); }
# rect FILE SECTION PREFIX: "WxH+L+T" for convert -crop.
rect() {
    echo "$(ini_get "$1" "$2" "$3Width" 0)x$(ini_get "$1" "$2" "$3Height" 0)+$(ini_get "$1" "$2" "$3Left" 0)+$(ini_get "$1" "$2" "$3Top" 0)"
}

# render SVG BMP [PERCENT]: the drawing at that scale, cut at half coverage
# onto magenta, 24-bit BMP.
render() {
    local png=${2%.bmp}.png
    rsvg-convert --zoom "$(awk -v p="${3:-100}" 'BEGIN { print p / 100 }')" "$1" -o "$png"
    "$im" "$png" -channel A -threshold 50% +channel \
        -fill '#FE00FF' -opaque '#FF00FFFF' \
        -background '#FF00FF' -alpha remove -alpha off -type TrueColor "BMP3:$2"
}

pack() { # DIR OUT.sk WINDOW...
    local dir=$1 out=$2 name percent suffix
    name=$(basename "$dir")
    shift 2
    mkdir -p "$build/$name"
    local args=()
    for w in "$@"; do args+=(--window "$w"); done
    render "$dir/sheet.svg" "$build/$name/sheet.bmp"
    "$skinpack" pack "$dir/keys.ini" "$build/$name/sheet.bmp" "$out" >/dev/null
    "$skinpack" check "$out" "${args[@]}" >/dev/null
    echo "packed $name -> ${out#"$out_data"/}"
    for percent in 150 200; do
        suffix=$([ $percent = 150 ] && echo @1.5x || echo @2x)
        awk -v percent=$percent -f "$root/tools/scale-keys.awk" "$dir/keys.ini" "$dir/keys.ini" \
            >"$build/$name/keys$suffix.ini"
        render "$dir/sheet.svg" "$build/$name/sheet$suffix.bmp" $percent
        "$skinpack" pack "$build/$name/keys$suffix.ini" "$build/$name/sheet$suffix.bmp" \
            "${out%.sk}$suffix.sk" >/dev/null
        "$skinpack" check "${out%.sk}$suffix.sk" "${args[@]}" >/dev/null
        echo "packed $name at $percent % -> ${out#"$out_data"/}"
    done
}

# --- The dialog frame and the window skins.
for dir in "$art"/frame/*/; do
    pack "${dir%/}" "$out_data/$(basename "$dir").sk" win
done
skins=()
for dir in "$art"/window/*/; do
    name=$(basename "$dir")
    skins+=("$name")
    pack "${dir%/}" "$out_data/Skin/$name.sk" bar calendar weather
done

if [ $check = 1 ]; then
    status=0
    for f in "$out_data"/*.sk "$out_data"/Skin/*.sk; do
        rel=${f#"$out_data"/}
        if ! cmp -s "$f" "$root/data/$rel"; then
            echo "differs from the committed file: data/$rel" >&2
            status=1
        fi
    done
    exit $status
fi

# --- Previews.

# bar_preview NAME HOT OUT.png: the bar with its panel, digits and date line.
bar_preview() {
    local name=$1 hot=$2 outpng=$3 keys=$art/window/$1/keys.ini sheet=$build/$1/sheet.bmp
    local border bk font state=Up
    [ "$hot" = 1 ] && state=Hot
    border=$(web_colour "$(ini_get "$keys" BAR LEDBorderColor 13664560)")
    bk=$(web_colour "$(ini_get "$keys" BAR LEDBkColor 0)")
    font=$(web_colour "$(ini_get "$keys" BAR FontColor 0)")
    cat >"$build/$name/overlay.svg" <<SVG
<svg xmlns="http://www.w3.org/2000/svg" width="332" height="34" shape-rendering="crispEdges">
  <rect x="53" y="4" width="116" height="26" fill="$border"/>
  <rect x="54" y="5" width="114" height="24" fill="$bk"/>
  <text x="175" y="26" font-family="WenQuanYi Zen Hei" font-size="12" fill="$font"
        shape-rendering="auto">2024年2月10日 星期六</text>
</svg>
SVG
    rsvg-convert "$build/$name/overlay.svg" -o "$build/$name/overlay.png"
    # The digits from the program's own renderer, in the skin's cell and colours.
    "$ledpng" "$build/$name/led.bmp" 09:30:45 "$out_data/Skin/$name.sk" >/dev/null
    "$im" \( "$sheet" -crop "$(rect "$keys" BAR BarBk)" +repage -transparent '#FF00FF' \) \
        \( "$sheet" -crop "$(rect "$keys" BUTTON MenuBtn$state)" +repage -transparent '#FF00FF' \) \
        -geometry +8+4 -composite \
        \( "$sheet" -crop "$(rect "$keys" BUTTON MinBtn$state)" +repage -transparent '#FF00FF' \) \
        -geometry +296+1 -composite \
        "$build/$name/overlay.png" -geometry +0+0 -composite \
        "$build/$name/led.bmp" -geometry +54+5 -composite "PNG32:$outpng"
}

desktop() { # W H OUT: a desktop-blue backdrop
    "$im" -size "$1x$2" gradient:'#3b78c2'-'#1d4f8f' "$3"
}

rows=()
for name in "${skins[@]}"; do
    bar_preview "$name" 0 "$build/$name/bar.png"
    bar_preview "$name" 1 "$build/$name/bar-hot.png"
    desktop 724 62 "$build/$name/row.png"
    "$im" "$build/$name/row.png" \
        "$build/$name/bar.png" -geometry +20+20 -composite \
        "$build/$name/bar-hot.png" -geometry +372+20 -composite \
        -font DejaVu-Sans -pointsize 11 -fill '#ffffff' -annotate +20+13 "$name" \
        -annotate +372+13 "$name, buttons hovered" "$build/$name/row.png"
    rows+=("$build/$name/row.png")
done
png_opts=(-define "png:exclude-chunks=date,time,tIME,zTXt,tEXt,iTXt")
"$im" "${rows[@]}" -append "${png_opts[@]}" "PNG24:$docs/bars.png"
"$im" "$docs/bars.png" -filter point -resize 300% "${png_opts[@]}" "PNG24:$docs/bars-300.png"

# The calendar and weather windows with their grid and browser areas filled
# as the windows fill them.
cols=()
for name in "${skins[@]}"; do
    keys=$art/window/$name/keys.ini
    sheet=$build/$name/sheet.bmp
    day=$(web_colour "$(ini_get "$keys" CALENDAR DayBackColor 16644074)")
    week=$(web_colour "$(ini_get "$keys" CALENDAR WeekBackColor 16576986)")
    cfont=$(web_colour "$(ini_get "$keys" CALENDAR FontColor 0)")
    wfont=$(web_colour "$(ini_get "$keys" WEATHER FontColor 16777215)")
    cat >"$build/$name/cal-overlay.svg" <<SVG
<svg xmlns="http://www.w3.org/2000/svg" width="332" height="390" font-family="WenQuanYi Zen Hei">
  <rect x="3" y="43" width="326" height="272" fill="$day"/>
  <rect x="3" y="43" width="326" height="30" fill="$week"/>
  <g fill="$cfont" font-size="19" font-weight="bold" text-anchor="end">
    <text x="96" y="33">2024年</text><text x="170" y="33">02月</text><text x="290" y="33">公历-农历</text>
  </g>
  <g fill="$cfont" font-size="12">
    <text x="14" y="333">农历： 甲辰年正月初一</text><text x="14" y="349">干支： 甲辰年 丙寅月 甲辰日</text>
    <text x="14" y="365">节日： 春节</text><text x="14" y="381">标记：</text>
  </g>
</svg>
SVG
    cat >"$build/$name/wea-overlay.svg" <<SVG
<svg xmlns="http://www.w3.org/2000/svg" width="332" height="160" font-family="WenQuanYi Zen Hei">
  <rect x="6" y="44" width="320" height="109" fill="#ffffff"/>
  <text x="14" y="29" font-size="16" font-weight="bold" fill="$wfont">天气预报</text>
</svg>
SVG
    rsvg-convert "$build/$name/cal-overlay.svg" -o "$build/$name/cal-overlay.png"
    rsvg-convert "$build/$name/wea-overlay.svg" -o "$build/$name/wea-overlay.png"
    "$im" -size 372x600 gradient:'#3b78c2'-'#1d4f8f' \
        \( "$sheet" -crop "$(rect "$keys" CALENDAR CalendarBk)" +repage -transparent '#FF00FF' \
        "$build/$name/cal-overlay.png" -composite \
        \( "$sheet" -crop "$(rect "$keys" BUTTON YearBtnUp)" +repage -transparent '#FF00FF' \) -geometry +100+17 -composite \
        \( "$sheet" -crop "$(rect "$keys" BUTTON MonthBtnUp)" +repage -transparent '#FF00FF' \) -geometry +174+17 -composite \
        \( "$sheet" -crop "$(rect "$keys" BUTTON YearBtnUp)" +repage -transparent '#FF00FF' \) -geometry +294+17 -composite \) \
        -geometry +20+10 -composite \
        \( "$sheet" -crop "$(rect "$keys" WEATHER WeatherBk)" +repage -transparent '#FF00FF' \
        "$build/$name/wea-overlay.png" -composite \) -geometry +20+420 -composite \
        "$build/$name/windows.png"
    cols+=("$build/$name/windows.png")
done
"$im" "${cols[@]}" +append "${png_opts[@]}" "PNG24:$docs/windows.png"

# A 300 x 200 dialog dressed with each frame, composed from the template's
# parts the way the dialog frame composes it.
for dir in "$art"/frame/*/; do
    name=$(basename "$dir")
    keys=$dir/keys.ini
    sheet=$build/$name/sheet.bmp
    caption=$(web_colour "$(ini_get "$keys" WIN CaptionColor 0)")
    tpl=$build/$name/template.png
    "$im" "$sheet" -crop "$(rect "$keys" WIN Win)" +repage "$tpl"
    ws=$("$im" "$tpl" -format %w info:)
    hs=$("$im" "$tpl" -format %h info:)
    W=300 H=200
    part() { # X Y W H: a part of the template
        echo "( $tpl -crop $3x$4+$1+$2 +repage )"
    }
    # shellcheck disable=SC2046 # the parts are meant to split into words
    "$im" -size ${W}x$H xc:'#FF00FF' \
        $(part 0 0 20 28) -geometry +1+1 -composite \
        $(part $((ws - 20)) 0 20 28) -geometry +$((W - 21))+1 -composite \
        \( $(part 21 0 60 28) -sample 80x28! -sample $((W - 42))x28! \) -geometry +21+1 -composite \
        $(part 0 $((hs - 10)) 10 10) -geometry +1+$((H - 11)) -composite \
        $(part $((ws - 10)) $((hs - 10)) 10 10) -geometry +$((W - 11))+$((H - 11)) -composite \
        \( $(part 0 28 10 12) -sample 10x$((H - 40))! \) -geometry +1+29 -composite \
        \( $(part $((ws - 10)) 28 10 12) -sample 10x$((H - 40))! \) -geometry +$((W - 11))+29 -composite \
        \( $(part 10 $((hs - 10)) $((ws - 20)) 10) -sample $((W - 22))x10! \) -geometry +11+$((H - 11)) -composite \
        \( $(part 10 28 $((ws - 20)) $((hs - 38))) -sample $((ws - 20))x12! -sample $((W - 22))x$((H - 40))! \) \
        -geometry +11+29 -composite \
        \( "$sheet" -crop "$(rect "$keys" WIN CloseBtn)" +repage -transparent '#FF00FF' \) \
        -geometry +$((W - 43 - 10))+1 -composite \
        -font WenQuanYi-Zen-Hei -pointsize 13 -fill "$caption" -annotate +10+19 "系统设置" \
        -fill '#000000' -pointsize 12 -annotate +24+64 "整点报时、半点报时和热键的设置。" \
        -fill '#e1e1e1' -stroke '#adadad' -draw "rectangle 206,160 280,182" -stroke none \
        -fill '#000000' -annotate +221+176 "确定(O)" \
        -transparent '#FF00FF' "$build/$name/dialog.png"
    desktop 340 240 "$build/$name/desk.png"
    "$im" "$build/$name/desk.png" "$build/$name/dialog.png" -geometry +20+20 -composite \
        "${png_opts[@]}" "PNG24:$docs/dialog-$name.png"
done
echo "previews in ${docs#"$root"/}/"
