#!/usr/bin/env bash
# Installs what is missing, builds the Windows programs (the clock, its popup
# PopupMsg.exe, the shipped data beside them and the help file
# TemporaHelp.chm) and runs the clock under Wine on the shipped data. With a
# display the clock runs there until you quit it ("退出" in its menu); without
# one it runs under Xvfb and a screenshot is saved.
set -euo pipefail
"$(dirname "$0")"/setup-deps.sh
# shellcheck source=shots-env.sh
. "$(dirname "$0")/shots-env.sh"
shots_build
if [ -n "${DISPLAY:-}" ]; then
    # shellcheck source=wine-env.sh
    . tools/wine-env.sh build/win
    (cd "$bin" && wine Tempora.exe "$@")
    wine_env_stop
else
    echo "No display: running under Xvfb for a screenshot."
    tools/screenshot.sh build/screenshots/tempora.png 8
fi
