#!/usr/bin/env bash
# Starts Tempora.exe under Wine on a fresh Xvfb screen, waits, saves a PNG of
# the screen and ends everything. Usage:
#   tools/screenshot.sh [OUT.png] [SECONDS] [-- COMMAND...]
# COMMAND (run under Wine in the program folder build/win/bin, on its data)
# defaults to Tempora.exe; a hook script can drive windows in between through
# TEMPORA_SHOT_HOOK. Needs a built build/win (tools/run-clock.sh builds it).
set -euo pipefail
# shellcheck source=shots-env.sh
. "$(dirname "$0")/shots-env.sh"
out=$(realpath -m "${1:-build/screenshots/tempora.png}")
wait_s=${2:-6}
shift $(($# >= 2 ? 2 : $#))
[ "${1:-}" = "--" ] && shift
mkdir -p "$(dirname "$out")"
shots_start
# A desktop-coloured root so that see-through windows show what lies behind them.
xsetroot -solid '#3a6ea5' 2>/dev/null || true
shots_dir=$bin shots_run "$@"
sleep "$wait_s"
if [ -n "${TEMPORA_SHOT_HOOK:-}" ]; then bash -c "$TEMPORA_SHOT_HOOK"; fi
import -window root "$out"
shots_end
echo "screenshot: $out"
