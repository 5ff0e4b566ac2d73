#!/usr/bin/env bash
# The popup listing the timed tasks missed over a night asleep: runs the
# Windows test that sleeps the bar on a fake clock, under Wine on Xvfb with a
# compositor (xcompmgr), and captures the screen while the popup shows.
# Builds tempora_win_tests when needed. Writes docs/missed-tasks.png.
set -euo pipefail
# shellcheck source=shots-env.sh
. "$(dirname "$0")/shots-env.sh"
shots_build tempora_win_tests
shots_start --compositor
(cd "$bin" &&
    exec wine ./tempora_win_tests.exe \
        --gtest_filter=TaskRun.TasksMissedWhileAsleepAreShownInThePopupAndNotRun) \
    >"$work/test.log" 2>&1 &
test=$!
shot=""
for _ in $(seq 1 600); do
    kill -0 "$test" 2>/dev/null || break
    if xdotool search --name "错过的定时任务" >/dev/null 2>&1; then
        sleep 0.4  # let it finish drawing
        shot=$(shots_grab 340x195+925+588 docs/missed-tasks.png)
        break
    fi
    sleep 0.1
done
wait "$test" || { cat "$work/test.log"; exit 1; }
shots_end
[ -n "$shot" ] || { echo "the popup never showed" >&2; exit 1; }
echo "$shot"
