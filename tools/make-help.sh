#!/usr/bin/env bash
# Builds the help file TemporaHelp.chm from the pages in docs/help and the
# screenshots they show (docs/*.png and below). Screenshots that do not
# exist yet are left out; the page shows its alternative text instead.
# Usage: tools/make-help.sh [OUT.chm]   (default build/help/TemporaHelp.chm)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/help/TemporaHelp.chm}")
command -v chmcmd >/dev/null || { echo "make-help: chmcmd is missing (run tools/setup-deps.sh)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/help"
cp docs/help/*.html docs/help/*.css "$work/help/"
# The images each page names, relative to docs/help.
images=$(grep -oh 'src="\.\./[^"]*"' docs/help/*.html | sed 's/^src="\.\.\///; s/"$//' | sort -u)
files=()
for img in $images; do
    if [ -f "docs/$img" ]; then
        mkdir -p "$work/$(dirname "$img")"
        cp "docs/$img" "$work/$img"
        files+=("$img")
    fi
done

pages=(index bar calendar clock weather worldtime options tasks marks nettime)
# The contents and the project are read in the Chinese ANSI code page.
{
    printf '[OPTIONS]\r\nCompatibility=1.1 or later\r\nCompiled file=TemporaHelp.chm\r\n'
    printf 'Contents file=toc.hhc\r\nDefault topic=help\\index.html\r\nDisplay compile progress=No\r\n'
    printf 'Full-text search=Yes\r\nLanguage=0x804 中文(中国)\r\nTitle=嘀嗒桌面时钟 帮助\r\n\r\n[FILES]\r\n'
    for p in "${pages[@]}"; do printf 'help\\%s.html\r\n' "$p"; done
    printf 'help\\style.css\r\n'
    for f in "${files[@]}"; do printf '%s\r\n' "${f//\//\\}"; done
} | iconv -f UTF-8 -t GBK >"$work/TemporaHelp.hhp"
{
    printf '<!DOCTYPE HTML PUBLIC "-//IETF//DTD HTML//EN">\r\n<HTML><BODY>\r\n<UL>\r\n'
    for p in "${pages[@]}"; do
        title=$(sed -n 's:.*<title>\(.*\)</title>.*:\1:p' "docs/help/$p.html")
        printf '<LI><OBJECT type="text/sitemap"><param name="Name" value="%s"><param name="Local" value="help\\%s.html"></OBJECT>\r\n' "$title" "$p"
    done
    printf '</UL>\r\n</BODY></HTML>\r\n'
} | iconv -f UTF-8 -t GBK >"$work/toc.hhc"

(cd "$work" && chmcmd TemporaHelp.hhp >chmcmd.log 2>&1) || { cat "$work/chmcmd.log" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
mv "$work/TemporaHelp.chm" "$out"
echo "help: $out ($(stat -c %s "$out") bytes, ${#files[@]} pictures)"
