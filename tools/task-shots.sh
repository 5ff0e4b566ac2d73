#!/usr/bin/env bash
# The task dialogs as users see them: the task list opened from the bar's
# menu, the task editor, the message editor and the run-action editor, under
# Wine on Xvfb with a compositor (xcompmgr) so that the shadows blend.
# Runs a copy of the program folder with a small War.lst of its own.
# Writes docs/tasks-list.png, docs/tasks-edit.png, docs/tasks-msg.png and
# docs/tasks-act.png.
set -euo pipefail
# shellcheck source=shots-env.sh
. "$(dirname "$0")/shots-env.sh"
shots_build
shots_copy
printf '[SKIN]\r\nSkinFile=DarkGlass.sk\r\nWinFile=Frame.sk\r\n[BAR]\r\nLeft=300\r\nTop=20\r\nTr=255\r\n' \
    >"$work/skin.ini"
printf '%s\r\n' '*007时30分' '2播放 (C:\Tempora\MySound\Marimba.wav)' \
    '3消息 (起床了，今天上午九点开会。)' '*017时45分' '3消息 (下班前把周报发出去)' \
    '2播放 (C:\Tempora\MySound\Chimes.wav)' '*12026年12月31日23时00分' '4执行 (关机)' \
    '*002时00分00秒' '4执行 (C:\Tempora\Backup.bat)' | iconv -f UTF-8 -t GBK >"$work/War.lst"

shots_start --compositor --backdrop '#3a6ea5'
shots_run
sleep 10
# Menu button, 定时任务 (again while the program is still starting).
for _ in 1 2 3; do
    xdotool mousemove 325 37 click 1; sleep 1
    xdotool mousemove 355 160 click 1
    shots_wait_window 定时任务 2>/dev/null && break
    xdotool key Escape
done
sleep 1
# The last task's command, 修改: the run-action editor; 取消.
xdotool mousemove 500 442 click 1; sleep 1
xdotool mousemove 818 317 click 1
shots_wait_window 编辑执行命令; sleep 1
shots_grab 400x210+440+295 docs/tasks-act.png
xdotool mousemove 762 458 click 1; sleep 1
# The first task selected.
xdotool mousemove 480 282 click 1; sleep 1
shots_grab 510x380+385+210 docs/tasks-list.png
# 修改 on the task: the task editor.
xdotool mousemove 818 317 click 1
shots_wait_window 编辑任务; sleep 1
shots_grab 510x370+385+215 docs/tasks-edit.png
# Its message, 修改: the message editor.
xdotool mousemove 500 361 click 1; sleep 1
xdotool mousemove 818 356 click 1
shots_wait_window 编辑消息; sleep 1
shots_grab 400x260+440+270 docs/tasks-msg.png

shots_end
