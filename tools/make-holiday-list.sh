#!/bin/sh
# Builds data/Holiday.lst (GBK, CR LF) from the tab-separated list of China's
# public holidays: date, name, 1 for a day off or 0 for a make-up working day,
# and the day the holiday is for (whose year the entry belongs to: New Year's
# make-up days fall in the December before). Each year gets its header line
# "@yyyy", which tells the program the year is covered; the notice's number
# and date follow it as "@yyyy|number|yyyy-mm-dd" where they are known.
#   tools/make-holiday-list.sh [holidays.tsv] [Holiday.lst]
set -eu

here=$(cd "$(dirname "$0")" && pwd)
src=${1:-$here/../../shared/data/holidays-cn.tsv}
out=${2:-$here/../data/Holiday.lst}

# A pipeline's status is its last command's: check the input before it runs.
[ -r "$src" ] || { echo "make-holiday-list: cannot read $src" >&2; exit 1; }

tmp=$(mktemp)
trap 'rm -f "$tmp"' EXIT

{
    printf '# 法定节假日：每年一行“@年份|通知文号|发布日期”（文号、日期可空），\n'
    printf '# 其下每行一天：日期|名称|1 放假，0 调休上班。可按国务院办公厅每年的通知补充。\n'
    awk -F '\t' '
        $1 ~ /^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$/ && ($3 == "0" || $3 == "1") {
            print substr($4 == "" ? $1 : $4, 1, 4) "\t" $1 "|" $2 "|" $3
        }' "$src" | LC_ALL=C sort | awk -F '\t' '
        $1 != year { year = $1; print "@" year }
        { print $2 }'
} | sed 's/$/\r/' | iconv -f UTF-8 -t GBK >"$tmp"

chmod 644 "$tmp"
mv "$tmp" "$out"
trap - EXIT
