#!/usr/bin/env bash
# Renders the About box's logo from art/about/logo.svg into src/web/res/AboutLogo.bmp,
# a 72 px 32-bit BMP with straight (not premultiplied) alpha, as tools/make-icons.sh does
# for the menu icons. The build never runs this: the BMP is committed.
# Debian: librsvg2-bin, imagemagick.
#   tools/make-logo.sh          regenerate the BMP
#   tools/make-logo.sh --check  regenerate into a scratch file and compare with the committed one
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
svg=$root/art/about/logo.svg
bmp=$root/src/web/res/AboutLogo.bmp
size=72
im_convert=convert
[ -x /usr/bin/convert ] && im_convert=/usr/bin/convert

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rsvg-convert -w $size -h $size "$svg" -o "$work/logo.png"

le16() { printf '%b' "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $((($1 >> 8) & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $((($1 >> 16) & 65535)); }
out=$bmp
[ "${1:-}" = "--check" ] && out=$work/logo.bmp
bytes=$((size * size * 4))
{
    printf 'BM'
    le32 $((54 + bytes)); le32 0; le32 54
    le32 40; le32 $size; le32 $size; le16 1; le16 32; le32 0; le32 $bytes
    le32 2835; le32 2835; le32 0; le32 0
    "$im_convert" "$work/logo.png" -flip -depth 8 BGRA:-
} >"$out"
[ "$(stat -c %s "$out")" = $((54 + bytes)) ] || {
    echo "$out: wrong size" >&2
    exit 1
}
if [ "${1:-}" = "--check" ]; then
    cmp -s "$out" "$bmp" && echo "logo is up to date" || {
        echo "differs from the drawing: src/web/res/AboutLogo.bmp" >&2
        exit 1
    }
else
    echo "wrote src/web/res/AboutLogo.bmp"
fi
