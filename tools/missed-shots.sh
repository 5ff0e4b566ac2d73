#!/usr/bin/env bash
# The popup listing the timed tasks missed over a night asleep: runs the
# Windows test that sleeps the bar on a fake clock, under Wine on Xvfb with a
# compositor (xcompmgr), and captures the screen while the popup shows.
# Needs build/win with tempora_win_tests. Writes docs/missed-tasks.png.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shellcheck source=wine-env.sh
. tools/wine-env.sh build/win force-xvfb
xcompmgr -n >/dev/null 2>&1 &
compositor=$!
(cd build/win/bin &&
    exec wine ./tempora_win_tests.exe \
        --gtest_filter=TaskRun.TasksMissedWhileAsleepAreShownInThePopupAndNotRun) \
    >"$work/test.log" 2>&1 &
test=$!
shot=""
for _ in $(seq 1 600); do
    kill -0 "$test" 2>/dev/null || break
    if xdotool search --name "错过的定时任务" >/dev/null 2>&1; then
        sleep 0.4  # let it finish drawing
        import -window root "$work/screen.png"
        convert "$work/screen.png" -crop 340x195+925+588 +repage "$root/docs/missed-tasks.png"
        shot=docs/missed-tasks.png
        break
    fi
    sleep 0.1
done
wait "$test" || { cat "$work/test.log"; exit 1; }
kill "$compositor" 2>/dev/null || true
wine_env_stop
[ -n "$shot" ] || { echo "the popup never showed" >&2; exit 1; }
echo "$shot"
