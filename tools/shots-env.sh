# Sourced by the scripts that run the programs under Wine and photograph them
# (run-clock.sh, screenshot.sh, the *-shots.sh scripts): the opening they
# share. Sourcing it moves to the repository's root and sets
#   root  the repository's root
#   bin   build/win/bin, the built program folder
#   work  a fresh scratch folder, removed when the script exits
# and defines:
#   shots_build [TARGET...]  builds Tempora.exe, PopupMsg.exe, the shipped data
#       beside them and TemporaHelp.chm (and the TARGETs) with the win preset;
#       quick when nothing changed.
#   shots_copy [NAME...]  copies the program folder into $work: the programs,
#       Frame.sk, Holiday.lst, TimeZone.lst, Skin, Clock, Sound and MySound,
#       and the NAMEs of $bin besides; data files written there afterwards
#       (skin.ini, War.lst) leave the build's own data as it is.
#   shots_start [--compositor] [--backdrop COLOUR]  a Wine prefix on a fresh
#       Xvfb screen (tools/wine-env.sh), optionally a compositor (xcompmgr),
#       which blends layered windows as Windows does, and a full-screen
#       backdrop of one colour.
#   shots_backdrop COLOUR  replaces the backdrop.
#   shots_run [COMMAND...]  starts COMMAND (default Tempora.exe) under Wine in
#       $shots_dir (default $work), in the background.
#   shots_wait_window TITLE [SECONDS]  waits for a window of that title.
#   shots_grab GEOMETRY OUT [SCALE]  the screen, cropped to GEOMETRY
#       (WxH+X+Y) and scaled by SCALE (default 100%), into OUT (relative to
#       the root); prints OUT.
#   shots_stop_programs  ends every program of the Wine session.
#   shots_end  ends the programs, the backdrop, the compositor and the display.
# Usage, from a script in tools/:  . "$(dirname "$0")/shots-env.sh"

cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$PWD
bin=build/win/bin
work=$(mktemp -d)
_shots_compositor=""
_shots_backdrop=""
_shots_started=""
# Also on a failure half-way: nothing is left running.
trap 'shots_end; rm -rf "$work"' EXIT

shots_build() {
    local log=build/shots-build.log
    mkdir -p build
    { cmake --preset win && cmake --build --preset win -j2 --target Tempora PopupMsg tempora_data "$@"; } \
        >"$log" 2>&1 || { tail -n 40 "$log" >&2; echo "build failed (log: $log)" >&2; return 1; }
    # The program opens the help file beside itself ("帮助").
    local chm=$bin/TemporaHelp.chm
    if [ ! -f "$chm" ] || [ -n "$(find docs -maxdepth 2 -newer "$chm" \
        \( -name '*.html' -o -name '*.css' -o -name '*.png' \) -print -quit)" ]; then
        tools/make-help.sh "$chm" >/dev/null
    fi
}

shots_copy() {
    local name
    cp -r "$bin/Tempora.exe" "$work/"
    for name in PopupMsg.exe TemporaHelp.chm Frame.sk Holiday.lst TimeZone.lst Skin Clock Sound \
        MySound "$@"; do
        if [ -e "$bin/$name" ]; then cp -r "$bin/$name" "$work/"; fi
    done
}

shots_backdrop() {
    if [ -n "$_shots_backdrop" ]; then
        kill "$_shots_backdrop" 2>/dev/null || true
        wait "$_shots_backdrop" 2>/dev/null || true
    fi
    [ -f "$work/.dot.png" ] || convert -size 8x8 xc:white "$work/.dot.png"
    display -backdrop -background "$1" -geometry +0+0 "$work/.dot.png" >/dev/null 2>&1 &
    _shots_backdrop=$!
    sleep 1
}

shots_start() {
    local compositor="" colour=""
    while [ $# -gt 0 ]; do
        case $1 in
            --compositor) compositor=1 ;;
            --backdrop) colour=$2; shift ;;
            *) echo "shots_start: unknown $1" >&2; return 1 ;;
        esac
        shift
    done
    # shellcheck source=wine-env.sh
    . tools/wine-env.sh build/win force-xvfb
    _shots_started=1
    # A program left from an earlier run would take the next start for a
    # second instance.
    wineserver -k 2>/dev/null || true
    if [ -n "$compositor" ]; then
        xcompmgr -n >/dev/null 2>&1 &
        _shots_compositor=$!
    fi
    if [ -n "$colour" ]; then shots_backdrop "$colour"; fi
}

shots_run() {
    local cmd=("$@")
    [ ${#cmd[@]} -gt 0 ] || cmd=(Tempora.exe)
    (cd "${shots_dir:-$work}" && exec wine "${cmd[@]}") >/dev/null 2>&1 &
}

shots_wait_window() {
    local _i
    for _i in $(seq $((${2:-10} * 5))); do
        xdotool search --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.2
    done
    echo "no window $1" >&2
    return 1
}

shots_grab() {
    mkdir -p "$(dirname "$root/$2")"
    import -window root "$work/.screen.png"
    convert "$work/.screen.png" -crop "$1" +repage -scale "${3:-100%}" "$root/$2"
    echo "$2"
}

shots_stop_programs() {
    if [ -n "$_shots_started" ]; then wineserver -k 2>/dev/null || true; fi
}

shots_end() {
    shots_stop_programs
    local pid
    for pid in $_shots_backdrop $_shots_compositor; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    _shots_backdrop=""
    _shots_compositor=""
    if [ -n "$_shots_started" ]; then wine_env_stop; fi
    _shots_started=""
}
