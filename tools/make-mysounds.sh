#!/usr/bin/env bash
# Regenerates the alarm and reminder sounds in data/MySound/, the folder the
# task editor's sound dialog opens in, synthesised with sox. The WAV files are
# committed; only whoever changes them needs this script.
#
# Usage: tools/make-mysounds.sh [OUTPUT_FOLDER]   (default: data/MySound)
#
# Every sound is 16-bit mono PCM at 22050 Hz, a few seconds long, levelled to
# the loudness of the chime bells and ending in true silence.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../data/MySound}

if ! command -v sox >/dev/null; then
    echo "Installing sox"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends sox >/dev/null
fi

rate=22050
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"

# pcm IN OUT [EFFECT...]: writes 16-bit mono PCM at the common rate.
pcm() {
    local in=$1 out=$2
    shift 2
    sox -R -D "$in" -r "$rate" -b 16 -c 1 -e signed-integer "$out" "$@"
}

stat_of() { sox "$1" -n stat 2>&1 | awk -v key="$2" '$0 ~ "^" key {print $NF}'; }

# level IN RMS OUT: scales IN to that RMS amplitude, but never lets its peak
# pass 0.9.
level() {
    local in=$1 target=$2 out=$3
    local rms peak gain
    rms=$(stat_of "$in" "RMS +amplitude")
    peak=$(stat_of "$in" "Maximum amplitude")
    gain=$(awk -v r="$rms" -v p="$peak" -v t="$target" \
        'BEGIN { g = 20 * log(t / r) / log(10); c = 20 * log(0.9 / p) / log(10);
                 printf "%.2f", (g < c ? g : c) }')
    pcm "$in" "$out" gain "$gain"
}

# tone OUT FREQ AMP SECONDS: a sine that dies away over SECONDS as
# (1 - t/SECONDS)^3, a struck decay with a 3 ms onset.
tone() {
    local out=$1 freq=$2 amp=$3 len=$4
    local fade=(fade t 0 "$len" "$len")
    pcm -n "$out" synth "$len" sine "$freq" vol "$amp" fade t 0.003 "$len" "$len" \
        "${fade[@]}" "${fade[@]}"
}

hz() { awk -v f="$1" -v r="$2" 'BEGIN { print f * r }'; }

# note OUT START FREQ LEN PARTIALS...: a struck note at START seconds; each
# partial is "RATIO AMP DECAY-FRACTION", its decay a fraction of LEN. Partials
# above 10 kHz are left out: at this rate they would fold back as false tones.
note_count=0
note() {
    local out=$1 start=$2 freq=$3 len=$4
    shift 4
    local parts=()
    for p in "$@"; do
        read -r ratio amp frac <<<"$p"
        if awk -v f="$freq" -v r="$ratio" 'BEGIN { exit !(f * r > 10000) }'; then
            continue
        fi
        note_count=$((note_count + 1))
        tone "$tmp/t$note_count.wav" "$(hz "$freq" "$ratio")" "$amp" \
            "$(awk -v l="$len" -v f="$frac" 'BEGIN { print l * f }')"
        parts+=("$tmp/t$note_count.wav")
    done
    if [ ${#parts[@]} -gt 1 ]; then
        sox -R -m "${parts[@]}" "$tmp/n.wav"
    else
        cp "${parts[0]}" "$tmp/n.wav"
    fi
    pcm "$tmp/n.wav" "$out" pad "$start" 0
}

# phrase OUT RMS NOTE-FILES...: mixes the notes, levels the mix and ends it
# with a short quiet tail.
phrase() {
    local out=$1 rms=$2
    shift 2
    if [ $# -gt 1 ]; then
        sox -R -m "$@" "$tmp/mix.wav"
    else
        cp "$1" "$tmp/mix.wav"
    fi
    level "$tmp/mix.wav" "$rms" "$tmp/lev.wav"
    pcm "$tmp/lev.wav" "$out" pad 0 0.1
}

# A mallet: a warm fundamental, its octave and the bright fourth partial a
# marimba bar rings with, the upper ones fading first.
mallet=("1 0.7 1" "2 0.12 0.5" "3.93 0.15 0.25")
# A small bell: inharmonic partials that ring long.
bell=("1 0.6 1" "2.76 0.25 0.6" "5.4 0.12 0.35" "8.93 0.05 0.2")

# Ding.wav: a soft two-note "ding-dong" reminder (E6, C6).
note "$tmp/d1.wav" 0 1318.5 1.4 "${bell[@]}"
note "$tmp/d2.wav" 0.45 1046.5 1.8 "${bell[@]}"
phrase "$out/Ding.wav" 0.1 "$tmp/d1.wav" "$tmp/d2.wav"

# Marimba.wav: a rising arpeggio C5 E5 G5 C6 and the chord held at the end.
files=()
i=0
for f in 523.25 659.25 783.99 1046.5; do
    note "$tmp/m$i.wav" "$(awk -v i=$i 'BEGIN { print i * 0.18 }')" "$f" 1.2 "${mallet[@]}"
    files+=("$tmp/m$i.wav")
    i=$((i + 1))
done
for f in 523.25 659.25 783.99; do
    note "$tmp/m$i.wav" 0.9 "$f" 1.6 "${mallet[@]}"
    files+=("$tmp/m$i.wav")
    i=$((i + 1))
done
phrase "$out/Marimba.wav" 0.1 "${files[@]}"

# Chimes.wav: wind chimes, a falling pentatonic run G6 E6 D6 C6 A5 G5.
files=()
i=0
for f in 1568 1318.5 1174.7 1046.5 880 784; do
    note "$tmp/c$i.wav" "$(awk -v i=$i 'BEGIN { print i * 0.22 }')" "$f" 2.0 "${bell[@]}"
    files+=("$tmp/c$i.wav")
    i=$((i + 1))
done
phrase "$out/Chimes.wav" 0.1 "${files[@]}"

# Alarm.wav: a wake-up call that is firm without being harsh: three rounds of
# three quick mallet notes (A5 A5 E6), each round a little louder.
files=()
i=0
for round in 0 1 2; do
    amp=$(awk -v r=$round 'BEGIN { print 0.55 + 0.2 * r }')
    for step in "0 880" "0.16 880" "0.32 1318.5"; do
        read -r at f <<<"$step"
        note "$tmp/a$i.wav" "$(awk -v r=$round -v a="$at" 'BEGIN { print r * 1.1 + a }')" \
            "$f" 0.5 "1 $amp 1" "2 0.1 0.5" "3.93 0.1 0.3"
        files+=("$tmp/a$i.wav")
        i=$((i + 1))
    done
done
phrase "$out/Alarm.wav" 0.12 "${files[@]}"

for f in "$out"/*.wav; do
    printf '%s: %s s, %s bytes\n' "$(basename "$f")" "$(soxi -D "$f")" "$(stat -c %s "$f")"
done
