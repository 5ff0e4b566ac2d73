#!/usr/bin/env bash
# Starts Tempora.exe under Wine on a fresh Xvfb screen, waits, saves a PNG of
# the screen and ends everything. Usage:
#   tools/screenshot.sh [OUT.png] [SECONDS] [-- COMMAND...]
# COMMAND (run under Wine in the program folder) defaults to Tempora.exe; a
# hook script can drive windows in between through TEMPORA_SHOT_HOOK.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/screenshots/tempora.png}")
wait_s=${2:-6}
shift $(( $# >= 2 ? 2 : $# ))
[ "${1:-}" = "--" ] && shift
cmd=("$@")
[ ${#cmd[@]} -gt 0 ] || cmd=(Tempora.exe)
mkdir -p "$(dirname "$out")"
# shellcheck source=wine-env.sh
. tools/wine-env.sh build/win force-xvfb
# A desktop-coloured root so that see-through windows show what lies behind them.
xsetroot -solid '#3a6ea5' 2>/dev/null || true
(cd build/win/bin && exec wine "${cmd[@]}") >/dev/null 2>&1 &
sleep "$wait_s"
if [ -n "${TEMPORA_SHOT_HOOK:-}" ]; then bash -c "$TEMPORA_SHOT_HOOK"; fi
import -window root "$out"
wine_env_stop
echo "screenshot: $out"
