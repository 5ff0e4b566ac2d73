# The key list of a skin package for its larger companion at PERCENT:
# every rectangle's edges scaled and rounded the way the program scales a
# rectangle (halves away from zero), the clock's centre with them; all other
# lines as they are (the LED cell keys too: a reader takes those from the
# package itself and scales them).
#
#   awk -v percent=150 -f tools/scale-keys.awk keys.ini keys.ini > keys@1.5x.ini
#
# The file is read twice: the first pass collects the values, the second
# writes, since a width's right edge needs its rectangle's left edge.
function px(v, n) {
    n = v * percent
    return n >= 0 ? int((n + 50) / 100) : -int((-n + 50) / 100)
}
function section_of(line, n) {
    n = line
    gsub(/^[ \t]*\[|\][ \t]*$/, "", n)
    return toupper(n)
}
{ sub(/\r$/, "") }
FNR == NR {
    if ($0 ~ /^[ \t]*\[/) { sec = section_of($0); next }
    if (index($0, "=")) {
        k = substr($0, 1, index($0, "=") - 1); gsub(/[ \t]/, "", k)
        v = substr($0, index($0, "=") + 1); gsub(/^[ \t]+|[ \t]+$/, "", v)
        val[sec SUBSEP k] = v
    }
    next
}
/^[ \t]*\[/ { sec = section_of($0); print; next }
index($0, "=") {
    k = substr($0, 1, index($0, "=") - 1); gsub(/[ \t]/, "", k)
    v = val[sec SUBSEP k]
    if (v ~ /^-?[0-9]+$/ && k !~ /^LED/) {
        if (k ~ /(Left|Top)$/ || k == "CenterX" || k == "CenterY") {
            print k "=" px(v); next
        }
        if (k ~ /Width$/ || k ~ /Height$/) {
            edge = k; sub(/Width$/, "Left", edge); sub(/Height$/, "Top", edge)
            start = val[sec SUBSEP edge] + 0
            print k "=" (px(start + v) - px(start)); next
        }
    }
}
{ print }
