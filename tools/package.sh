#!/usr/bin/env bash
# Makes the release files a Windows user downloads:
#   build/dist/Tempora-<version>-setup.exe     per-user installer (NSIS)
#   build/dist/Tempora-<version>-portable.zip  the program folder, unpacked anywhere
# Builds the programs with the win preset when needed, strips them, builds the
# help file and puts everything in build/dist/stage first.
# The version is the one the program shows in its date balloon title.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

version=$(sed -n 's/.*kDateBalloonTitle\[\] = "[^"0-9]*\([0-9][0-9.]*\)".*/\1/p' src/app/DayTexts.h)
if ! [[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]]; then
    echo "package: no version found in src/app/DayTexts.h" >&2
    exit 1
fi
for tool in makensis chmcmd zip x86_64-w64-mingw32-strip; do
    command -v "$tool" >/dev/null || { echo "package: $tool is missing (run tools/setup-deps.sh)" >&2; exit 1; }
done

cmake --preset win >/dev/null
cmake --build --preset win --target Tempora PopupMsg

dist=$root/build/dist
stage=$dist/stage
rm -rf "$stage"
mkdir -p "$stage"
bin=build/win/bin
# The program, its popup and the shipped data; no tests, no tools.
cp -r data/. "$stage/"
for exe in Tempora PopupMsg; do
    x86_64-w64-mingw32-strip -o "$stage/$exe.exe" "$bin/$exe.exe"
done
tools/make-help.sh "$stage/TemporaHelp.chm"

setup=$dist/Tempora-$version-setup.exe
portable=$dist/Tempora-$version-portable.zip
rm -f "$setup" "$portable"
makensis -V2 -INPUTCHARSET UTF8 "-DVERSION=$version" "-DSTAGE=$stage" "-DOUTFILE=$setup" \
    tools/installer/Tempora.nsi
# The zip unpacks into a folder of its own; that folder is the data folder.
(cd "$dist" && rm -rf "Tempora-$version" && cp -r stage "Tempora-$version" &&
    zip -q -r -9 "$portable" "Tempora-$version" && rm -rf "Tempora-$version")
ls -l "$setup" "$portable" | awk '{print $5, $9}'
