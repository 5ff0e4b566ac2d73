#!/usr/bin/env bash
# Installs the release under Wine the way a user without administrator rights
# would, silently, into a Wine prefix of its own (so that the default folder
# under %LOCALAPPDATA% is the one tested); starts the installed clock;
# checks the program files, the Start-menu shortcut, the autostart value and
# the Uninstall key; then uninstalls silently while the clock runs and checks
# that the program, the shortcut and the keys are gone and the user's data
# is still there; finally installs again and removes everything, data too.
# Usage: tests/win/InstallerTest.sh [SETUP.exe]  (default: the newest in build/dist)
# Exits non-zero on failure.
set -uo pipefail
cd "$(dirname "$0")/../.." || exit 1
setup=${1:-$(ls -t build/dist/Tempora-*-setup.exe 2>/dev/null | head -n 1)}
[ -f "$setup" ] || { echo "InstallerTest: no setup.exe (run tools/package.sh)"; exit 1; }
setup=$(realpath "$setup")

scratch=$(mktemp -d "$PWD/build/installer-test.XXXXXX")
# shellcheck source=../../tools/wine-env.sh
. tools/wine-env.sh "$scratch" force-xvfb
trap 'wine_env_stop; rm -rf "$scratch"' EXIT

failures=0
step() {  # description, then the command that must succeed
    local what=$1
    shift
    if "$@"; then
        echo "  ok   $what"
    else
        echo "  FAIL $what"
        failures=$((failures + 1))
    fi
}
# Waits up to $1 seconds for the command to succeed.
within() {
    local limit=$(($1 * 4))
    shift
    for _ in $(seq 1 "$limit"); do
        "$@" && return 0
        sleep 0.25
    done
    return 1
}

win_dir="$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')\Programs\Tempora"
dir=$(winepath -u "$win_dir" 2>/dev/null)
[ -n "$dir" ] || { echo "InstallerTest: the prefix has no %LOCALAPPDATA%"; exit 1; }
uninst_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tempora'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
title=嘀嗒桌面时钟

reg_value() {  # key value -> the data, empty when missing
    wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
shortcut() { find "$WINEPREFIX/drive_c/users" -name "$title.lnk" 2>/dev/null | head -n 1; }
has_shortcut() { [ -n "$(shortcut)" ]; }
no_shortcut() { [ -z "$(shortcut)" ]; }
has_file() { [ -f "$dir/$1" ]; }
no_file() { [ ! -e "$dir/$1" ]; }
clock_window() { xdotool search --name "^$title\$" >/dev/null 2>&1; }
no_clock_window() { ! clock_window; }
key_gone() { [ -z "$(reg_value "$uninst_key" DisplayName)" ]; }
run_value_is() { [ "$(reg_value "$run_key" Tempora)" = "$1" ]; }
uninstall_string_is() { [ "$(reg_value "$uninst_key" UninstallString)" = "$1" ]; }
run_value_gone() { [ -z "$(reg_value "$run_key" Tempora)" ]; }
uninstalled() { no_file Tempora.exe && no_file uninstall.exe && key_gone; }

echo "InstallerTest: $(basename "$setup") into $win_dir"
start=$SECONDS
wine "$setup" /S /AUTOSTART >/dev/null 2>&1
step "the installer ends with success" test $? -eq 0
for f in Tempora.exe PopupMsg.exe TemporaHelp.chm uninstall.exe skin.ini Holiday.lst; do
    step "installed $f" has_file "$f"
done
step "the Start-menu shortcut exists" has_shortcut
step "the Uninstall key names the uninstaller" uninstall_string_is "\"$win_dir\\uninstall.exe\""
step "autostart runs the installed clock hidden" run_value_is "\"$win_dir\\Tempora.exe\" /hide"

(cd "$dir" && exec wine Tempora.exe) >/dev/null 2>&1 &
step "the installed clock shows its bar" within 30 clock_window

# Something of the user's own beside the program, as the clock keeps it.
printf 'user data\r\n' >"$dir/UserNotes.txt"
wine "$dir/uninstall.exe" /S >/dev/null 2>&1
# The uninstaller runs from a copy of itself; wait for its work to be done.
step "the uninstaller removes the program and its key" within 40 uninstalled
step "the running clock was closed" within 10 no_clock_window
for f in PopupMsg.exe TemporaHelp.chm; do
    step "removed $f" no_file "$f"
done
step "the Start-menu shortcut is gone" no_shortcut
step "the autostart value is gone" run_value_gone
step "the user's settings are kept" has_file skin.ini
step "the user's own files are kept" has_file UserNotes.txt

# Again, now removing everything, the copy in %APPDATA% included.
wine "$setup" /S >/dev/null 2>&1
step "the reinstallation ends with success" test $? -eq 0
appdata=$(winepath -u "$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')" 2>/dev/null)
[ -n "$appdata" ] || { echo "InstallerTest: the prefix has no %APPDATA%"; exit 1; }
appdata=$appdata/Tempora
mkdir -p "$appdata" && printf 'user data\r\n' >"$appdata/UserNotes.txt"
wine "$dir/uninstall.exe" /S /REMOVEDATA >/dev/null 2>&1
step "a full removal leaves no program folder" within 40 test ! -e "$dir"
step "a full removal leaves no data in %APPDATA%" test ! -e "$appdata"
step "a full removal removes the Uninstall key" key_gone

echo "InstallerTest: $((SECONDS - start)) s, $failures failed"
[ "$failures" -eq 0 ]
