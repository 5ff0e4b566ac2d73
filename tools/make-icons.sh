#!/usr/bin/env bash
# Renders the program, tray and menu icons from the SVG drawings in art/icons/ into the
# resource files in src/app/res/ that the build links in. The build itself never runs this:
# the generated files are committed, so only whoever redraws an icon needs these tools
# (Debian: librsvg2-bin, imagemagick, icoutils).
#
#   tools/make-icons.sh          regenerate src/app/res/*.ico and MenuIcons.bmp
#   tools/make-icons.sh --check  regenerate into a scratch folder and compare with the committed files
#
# Intermediate PNGs and a contact sheet (every icon at 1x and enlarged, on light and dark
# backgrounds) land in art/icons/build/, which git ignores.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
art=$root/art/icons
build=$art/build
res=$root/src/app/res
check=0
if [ "${1:-}" = "--check" ]; then
    check=1
elif [ $# -gt 0 ]; then
    echo "usage: $0 [--check]" >&2
    exit 2
fi

for tool in rsvg-convert convert montage identify icotool; do
    command -v "$tool" >/dev/null || {
        echo "$tool is missing: apt-get install librsvg2-bin imagemagick icoutils" >&2
        exit 1
    }
done
# A wrapper earlier on PATH may stand in for ImageMagick's convert; use the real one when present.
im_convert=convert
[ -x /usr/bin/convert ] && im_convert=/usr/bin/convert

out=$res
if [ $check = 1 ]; then
    out=$(mktemp -d)
    trap 'rm -rf "$out"' EXIT
fi
rm -rf "$build"
mkdir -p "$build/program" "$build/tray" "$build/menu" "$out"

# PNGs written by ImageMagick carry no time stamps, so reruns give the same bytes.
png_opts=(-define "png:exclude-chunks=date,time,tIME,zTXt,tEXt,iTXt")

render() { # svg size png
    rsvg-convert -w "$2" -h "$2" "$1" -o "$3"
}

# --- Program icon: a hand-fitted drawing for each small size; 256 px is stored as PNG.
program_sizes=(16 20 24 32 48)
for s in "${program_sizes[@]}" 256; do
    render "$art/program/tempora-$s.svg" "$s" "$build/program/tempora-$s.png"
done
program=()
for s in "${program_sizes[@]}"; do program+=("$build/program/tempora-$s.png"); done
icotool -c -b 32 -o "$out/Tempora.ico" "${program[@]}" -r "$build/program/tempora-256.png"

# --- Tray icons: the program icon, and animation frames with a pulsing unread-message dot.
tray_sizes=(16 20 24 32)
tray_frames=(1 2 3 4)
for s in "${tray_sizes[@]}"; do
    render "$art/tray/badge-cut.svg" "$s" "$build/tray/cut-$s.png"
    for f in "${tray_frames[@]}"; do
        render "$art/tray/badge-$f.svg" "$s" "$build/tray/badge-$f-$s.png"
        "$im_convert" "$build/program/tempora-$s.png" \
            "$build/tray/cut-$s.png" -compose DstOut -composite \
            "$build/tray/badge-$f-$s.png" -compose Over -composite \
            "${png_opts[@]}" "PNG32:$build/tray/anim$f-$s.png"
    done
done
normal=()
for s in "${tray_sizes[@]}"; do normal+=("$build/program/tempora-$s.png"); done
icotool -c -b 32 -o "$out/TrayNormal.ico" "${normal[@]}"
for f in "${tray_frames[@]}"; do
    frames=()
    for s in "${tray_sizes[@]}"; do frames+=("$build/tray/anim$f-$s.png"); done
    icotool -c -b 32 -o "$out/TrayAnim$f.ico" "${frames[@]}"
done

# --- Menu icons: eight 16 px pictures side by side in one 32-bit BMP with straight alpha.
menu=()
for svg in "$art"/menu/[0-7]-*.svg; do
    png=$build/menu/$(basename "${svg%.svg}").png
    render "$svg" 16 "$png"
    menu+=("$png")
done
[ ${#menu[@]} = 8 ] || {
    echo "expected 8 menu icons, found ${#menu[@]}" >&2
    exit 1
}
"$im_convert" "${menu[@]}" -background none +append "${png_opts[@]}" "PNG32:$build/menu/strip.png"

le16() { printf '%b' "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }
write_bmp32() { # png bmp: BITMAPINFOHEADER, BI_RGB, 32 bpp, bottom-up rows, B G R A bytes
    local w h size
    w=$(identify -format %w "$1")
    h=$(identify -format %h "$1")
    size=$((w * h * 4))
    {
        printf 'BM'
        le32 $((54 + size)); le32 0; le32 54
        le32 40; le32 "$w"; le32 "$h"; le16 1; le16 32; le32 0; le32 "$size"
        le32 2835; le32 2835; le32 0; le32 0
        "$im_convert" "$1" -flip -depth 8 BGRA:-
    } >"$2"
    [ "$(stat -c %s "$2")" = $((54 + size)) ] || {
        echo "$2: wrong size" >&2
        exit 1
    }
}
write_bmp32 "$build/menu/strip.png" "$out/MenuIcons.bmp"

# --- Contact sheet: each icon at 1x and 4x (nearest neighbour), on light and dark grounds.
sheet_row() { # background label png... -> prints the row file name
    local bg=$1 label=$2 row
    shift 2
    row=$build/row-$label-${bg#\#}.png
    local tiles=()
    for p in "$@"; do
        local t
        t=$build/tile-$(basename "$p" .png)-${bg#\#}.png
        "$im_convert" -background "$bg" \( "$p" -background none -gravity center -extent 48x48 \) \
            \( "$p" -filter point -resize 400% \) -gravity center +append \
            -bordercolor "$bg" -border 6 "$t"
        tiles+=("$t")
    done
    "$im_convert" -background "$bg" "${tiles[@]}" +append +repage "$row"
    echo "$row"
}
rows=()
for bg in '#f7f7f7' '#adddf5' '#1f2630'; do
    rows+=("$(sheet_row "$bg" program "$build"/program/tempora-{16,20,24,32,48}.png)")
    rows+=("$(sheet_row "$bg" tray "$build"/tray/anim{1,2,3,4}-16.png "$build"/tray/anim3-32.png)")
    rows+=("$(sheet_row "$bg" menu "${menu[@]}")")
done
"$im_convert" -background '#808080' "${rows[@]}" -append +repage "${png_opts[@]}" "$build/contact-sheet.png"
"$im_convert" -background '#f7f7f7' "$build/program/tempora-256.png" "$build/program/tempora-48.png" \
    -gravity center +append +repage "${png_opts[@]}" "$build/contact-large.png"
rm -f "$build"/row-*.png "$build"/tile-*.png

if [ $check = 1 ]; then
    status=0
    for f in Tempora.ico TrayNormal.ico TrayAnim{1,2,3,4}.ico MenuIcons.bmp; do
        cmp -s "$out/$f" "$res/$f" || {
            echo "differs from the drawings: src/app/res/$f" >&2
            status=1
        }
    done
    [ $status = 0 ] && echo "icons are up to date"
    exit $status
fi
echo "wrote src/app/res/{Tempora,TrayNormal,TrayAnim1-4}.ico and MenuIcons.bmp"
