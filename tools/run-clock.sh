#!/usr/bin/env bash
# Installs what is missing, builds the Windows programs and runs the clock
# under Wine on the shipped data. With a display the clock runs there until
# you quit it ("退出" in its menu); without one it runs under Xvfb and a
# screenshot is saved.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup-deps.sh
cmake --preset win >/dev/null
cmake --build --preset win --target Tempora tempora_data >build/run-clock-build.log 2>&1 ||
    { tail -n 40 build/run-clock-build.log; exit 1; }
if [ -n "${DISPLAY:-}" ]; then
    # shellcheck source=wine-env.sh
    . tools/wine-env.sh build/win
    (cd build/win/bin && wine Tempora.exe "$@")
    wine_env_stop
else
    echo "No display: running under Xvfb for a screenshot."
    tools/screenshot.sh build/screenshots/tempora.png 8
fi
