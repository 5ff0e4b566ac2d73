# Sourced by the run and test scripts: a Wine prefix inside the build folder,
# an X display (Xvfb when there is none), and fonts for the Chinese UI.
# Usage: . tools/wine-env.sh BUILD_DIR [force-xvfb]
# The prefix is BUILD_DIR/wineprefix unless TEMPORA_WINEPREFIX names another.
# TEMPORA_SCREEN sets the started Xvfb's screen (default 1280x800x24).
# Defines wine_env_stop to end what it started.

_wine_build=$(cd "${1:?build folder}" && pwd)
export WINEPREFIX="${TEMPORA_WINEPREFIX:-$_wine_build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
_wine_started_xvfb=""

if [ -z "${DISPLAY:-}" ] || [ "${2:-}" = "force-xvfb" ]; then
    # The server picks a display no other server holds (lock files are not
    # enough: a server of another container may hold one without a lock file
    # visible here) and writes its number once it accepts clients.
    _wine_displayfd=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${TEMPORA_SCREEN:-1280x800x24}" -nolisten tcp 3>"$_wine_displayfd" >/dev/null 2>&1 &
    _wine_started_xvfb=$!
    for _ in $(seq 1 100); do
        [ -s "$_wine_displayfd" ] && break
        sleep 0.1
    done
    [ -s "$_wine_displayfd" ] || echo "wine-env: Xvfb did not start" >&2
    export DISPLAY=":$(head -n 1 "$_wine_displayfd")"
    rm -f "$_wine_displayfd"
fi

# No sound card here: a null ALSA device lets Wine's multimedia layer play
# (silently) to the end, as on a machine with speakers.
if [ -z "${TEMPORA_REAL_AUDIO:-}" ]; then
    mkdir -p "$WINEPREFIX"
    printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$WINEPREFIX/alsa-null.conf"
    export ALSA_CONFIG_PATH="$WINEPREFIX/alsa-null.conf"
fi

if [ ! -f "$WINEPREFIX/.tempora-ready" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    # 宋体 and 楷体 (and their English names) map to an installed CJK font.
    reg="$WINEPREFIX/fonts.reg"
    {
        printf 'Windows Registry Editor Version 5.00\r\n\r\n'
        printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]\r\n'
        for face in 宋体 楷体 新宋体 黑体 SimSun KaiTi NSimSun SimHei 微软雅黑 "Microsoft YaHei"; do
            printf '"%s"="WenQuanYi Zen Hei"\r\n' "$face"
        done
    } | iconv -f UTF-8 -t UTF-16 >"$reg"
    # regedit takes a leading "/" for a switch: hand it the Windows path.
    wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tempora-ready"
fi

wine_env_stop() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "$_wine_started_xvfb" ]; then
        kill "$_wine_started_xvfb" 2>/dev/null || true
        wait "$_wine_started_xvfb" 2>/dev/null || true
    fi
}
