#!/usr/bin/env bash
# Screenshots of the bar under Wine in every shipped skin, cropped to the bar
# and scaled 2x, into docs/screens/bar-<skin>.png. The shipped skin.ini in the
# program folder is restored afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
bin=build/win/bin
out=docs/screens
mkdir -p "$out"
cp "$bin/skin.ini" "$bin/skin.ini.keep"
trap 'mv "$bin/skin.ini.keep" "$bin/skin.ini"' EXIT
for package in data/Skin/*.sk; do
    name=$(basename "$package" .sk)
    printf '[SKIN]\r\nSkinFile=%s\r\nWinFile=Frame.sk\r\n[BAR]\r\nDefWin=0\r\nLeft=860\r\nTop=20\r\n' "$name.sk" >"$bin/skin.ini"
    tools/screenshot.sh "/tmp/tempora-shot-$name.png" 6 >/dev/null
    # The bar at 860,20 on a desktop-blue root, with a margin.
    convert "/tmp/tempora-shot-$name.png" -crop 352x54+850+10 +repage -scale 200% "$out/bar-$name.png"
    echo "$out/bar-$name.png"
done
