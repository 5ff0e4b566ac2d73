#!/bin/sh
# Builds data/Holiday.lst (GBK, CR LF) from the tab-separated list of China's
# public holidays: date, name, 1 for a day off or 0 for a make-up working day.
#   tools/make-holiday-list.sh [holidays.tsv] [Holiday.lst]
set -eu

here=$(cd "$(dirname "$0")" && pwd)
src=${1:-$here/../../shared/data/holidays-cn.tsv}
out=${2:-$here/../data/Holiday.lst}

tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT

{
    printf '# 法定节假日：日期|名称|1 放假，0 调休上班。\n'
    printf '# 每行一天，可按国务院办公厅每年的通知手工补充。\n'
    awk -F '\t' '
        $1 ~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/ && ($3 == "0" || $3 == "1") {
            print $1 "|" $2 "|" $3
        }' "$src" | LC_ALL=C sort
} | sed 's/$/\r/' | iconv -f UTF-8 -t GBK >"$tmp"

chmod 644 "$tmp"
mv "$tmp" "$out"
trap - EXIT
