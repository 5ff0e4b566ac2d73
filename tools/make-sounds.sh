#!/usr/bin/env bash
# Regenerates the chime recordings in data/Sound/: the Mandarin words of a
# spoken time, made with espeak-ng, and the two bells, synthesised with sox.
# The WAV files are committed; only whoever changes them needs this script.
#
# Usage: tools/make-sounds.sh [OUTPUT_FOLDER]   (default: data/Sound)
#
# Each word is trimmed of silence, levelled to one loudness and given 25 ms
# of quiet at each end, so that the words of a composed time follow one
# another 50 ms apart and sound like one sentence. The script ends by
# joining the words of 08:02 and 23:59 as the chime composer lists them, and
# two spoken days, and printing their lengths.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here/../data/Sound}

if ! command -v espeak-ng >/dev/null || ! command -v sox >/dev/null; then
    echo "Installing espeak-ng and sox"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends espeak-ng sox >/dev/null
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

# level IN RMS OUT: scales IN to that RMS amplitude, but never lets its peak pass 0.9.
level() {
    local in=$1 target=$2 out=$3
    local rms peak
    rms=$(stat_of "$in" "RMS +amplitude")
    peak=$(stat_of "$in" "Maximum amplitude")
    local gain
    gain=$(awk -v r="$rms" -v p="$peak" -v t="$target" \
        'BEGIN { g = 20 * log(t / r) / log(10); c = 20 * log(0.9 / p) / log(10);
                 printf "%.2f", (g < c ? g : c) }')
    pcm "$in" "$out" gain "$gain"
}

# Debian's Mandarin voice misreads many Hanzi (it speaks the tone digit of
# their pinyin as an English number), so each word is given in pinyin with
# tone numbers to the voice's pinyin reading, which also fixes every tone.
speak() {
    local name=$1 pinyin=$2
    espeak-ng -v cmn-latn-pinyin -s 190 -p 45 -w "$tmp/raw.wav" "$pinyin"
    # Cut the silence before and after the word, keeping its soft edges.
    pcm "$tmp/raw.wav" "$tmp/trim.wav" \
        silence 1 0.002 -42d reverse silence 1 0.002 -42d reverse
    level "$tmp/trim.wav" 0.14 "$tmp/level.wav"
    pcm "$tmp/level.wav" "$out/$name.wav" fade t 0.004 -0 0.012 pad 0.025 0.025
}

speak T1 "xian4 zai4 shi2 ke4"  # 现在时刻, the lead-in
speak To1 "ling2 chen2"         # 凌晨, hours 0-5
speak To2 "shang4 wu3"          # 上午, hours 6-11
speak To3 "xia4 wu3"            # 下午, hours 12-17
speak To4 "wan3 shang5"         # 晚上, hours 18-23
numbers=(ling2 yi1 liang3 san1 si4 wu3 liu4 qi1 ba1 jiu3 shi2 "shi2 yi1" "shi2 er4")
for n in "${!numbers[@]}"; do
    speak "$n" "${numbers[$n]}"
done
# Hours say 两 (两点), minute digits 二 (零二分, 二十分).
speak 2A er4
speak H dian3   # 点
speak M fen1    # 分
speak 30 "san1 shi2"

# The spoken day (calendar/SpokenDay.cpp): the lead-in, the words around the
# numbers, the lunar month and day words, the 24 solar terms (J00 小寒 …
# J23 冬至) and the festivals that have a name, keyed as the composer keys
# them (FG Gregorian MMDD, FL lunar MMDD with 0100 the eve, FW weekday rule).
speak JT "jin1 tian1 shi4"  # 今天是
speak Yue yue4              # 月
speak Ri ri4                # 日
speak XQ "xing1 qi1"        # 星期
speak NL "nong2 li4"        # 农历
speak Run run4              # 闰
speak Zheng zheng1          # 正(月)
speak La la4                # 腊(月)
speak Chu chu1              # 初
speak Nian nian4            # 廿
terms=("xiao3 han2" "da4 han2" "li4 chun1" "yu3 shui3" "jing1 zhe2" "chun1 fen1"
    "qing1 ming2" "gu3 yu3" "li4 xia4" "xiao3 man3" "mang2 zhong4" "xia4 zhi4"
    "xiao3 shu3" "da4 shu3" "li4 qiu1" "chu3 shu3" "bai2 lu4" "qiu1 fen1"
    "han2 lu4" "shuang1 jiang4" "li4 dong1" "xiao3 xue3" "da4 xue3" "dong1 zhi4")
for n in "${!terms[@]}"; do
    speak "$(printf 'J%02d' "$n")" "${terms[$n]}"
done
festivals=(
    "FG0101 yuan2 dan4" "FG0214 qing2 ren2 jie2" "FG0308 fu4 nv3 jie2"
    "FG0312 zhi2 shu4 jie2" "FG0501 lao2 dong4 jie2" "FG0504 qing1 nian2 jie2"
    "FG0601 er2 tong2 jie2" "FG0701 jian4 dang3 jie2" "FG0801 jian4 jun1 jie2"
    "FG0910 jiao4 shi1 jie2" "FG1001 guo2 qing4 jie2" "FG1224 ping2 an1 ye4"
    "FG1225 sheng4 dan4 jie2" "FL0100 chu2 xi1" "FL0101 chun1 jie2"
    "FL0115 yuan2 xiao1 jie2" "FL0202 long2 tai2 tou2" "FL0505 duan1 wu3 jie2"
    "FL0707 qi1 xi1" "FL0715 zhong1 yuan2 jie2" "FL0815 zhong1 qiu1 jie2"
    "FL0909 chong2 yang2 jie2" "FL1208 la4 ba1 jie2" "FL1224 xiao3 nian2"
    "FW0520 mu3 qin1 jie2" "FW0630 fu4 qin1 jie2" "FW1144 gan3 en1 jie2"
)
for f in "${festivals[@]}"; do
    speak "${f%% *}" "${f#* }"
done

# tone OUT FREQ AMP SECONDS: a sine that dies away over SECONDS. Four linear
# fades in a row shape its amplitude as (1 - t/SECONDS)^4, a struck decay
# that ends in true silence.
tone() {
    local out=$1 freq=$2 amp=$3 len=$4
    local fade=(fade t 0 "$len" "$len")
    pcm -n "$out" synth "$len" sine "$freq" vol "$amp" fade t 0.002 "$len" "$len" \
        "${fade[@]}" "${fade[@]}" "${fade[@]}"
}

# Z1: a struck bell. Inharmonic partials (hum, prime, tierce, quint, nominal
# and two upper ones), each dying away at its own rate, the high ones first,
# and the clapper's knock. It rings under two seconds, so that twelve strokes
# (one after another, each when the last has ended) stay bearable.
bell_partials=(
    "0.5 0.45 1.8" "1.0 0.80 1.6" "1.19 0.45 1.2" "1.5 0.30 1.0"
    "2.0 0.55 0.85" "2.51 0.25 0.55" "3.01 0.18 0.45"
)
base=392
parts=()
for i in "${!bell_partials[@]}"; do
    read -r ratio amp len <<<"${bell_partials[$i]}"
    tone "$tmp/p$i.wav" "$(awk -v b=$base -v r="$ratio" 'BEGIN { print b * r }')" "$amp" "$len"
    parts+=("$tmp/p$i.wav")
done
pcm -n "$tmp/knock.wav" synth 0.03 pinknoise vol 0.3 lowpass 2500 fade t 0 0.03 0.03
sox -R -m "${parts[@]}" "$tmp/knock.wav" "$tmp/z1mix.wav"
level "$tmp/z1mix.wav" 0.12 "$out/Z1.wav"

# Z2: the hour bell, one clear high tone. Its two close partials beat slowly,
# as a real bell's do, and a faint octave rings briefly above them.
tone "$tmp/z2a.wav" 1046.5 0.5 2.2
tone "$tmp/z2b.wav" 1048.0 0.15 2.0
tone "$tmp/z2c.wav" 2093.0 0.12 0.7
sox -R -m "$tmp/z2a.wav" "$tmp/z2b.wav" "$tmp/z2c.wav" "$tmp/z2mix.wav"
level "$tmp/z2mix.wav" 0.12 "$out/Z2.wav"

# The spoken times as the chime composer lists them.
sentence() {
    local label=$1
    shift
    local files=()
    for w in "$@"; do files+=("$out/$w.wav"); done
    sox -R "${files[@]}" "$tmp/$label.wav"
    printf '%s: %s s\n' "$label" "$(soxi -D "$tmp/$label.wav")"
}
sentence 08:02 T1 To2 8 H 0 2A M
sentence 23:59 T1 To4 11 H 5 10 9 M
# 今天是十二月十一日，星期五，农历十一月初三 (2026-12-11), and 大雪 on 2026-12-07.
sentence 2026-12-11 JT 12 Yue 11 Ri XQ 5 NL 11 Yue Chu 3
sentence 2026-12-07 JT 12 Yue 7 Ri XQ 1 NL 10 Yue Nian 9 J22
