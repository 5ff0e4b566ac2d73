#!/usr/bin/env bash
# Runs one shard of a Windows test program under Wine in a prefix and on an
# Xvfb display of its own, so that shards run side by side: the cases of a
# program are independent, and most of their time is spent waiting for
# windows, not computing.
# Usage: tools/wine-shard.sh BUILD_DIR PROGRAM.exe INDEX TOTAL REPORT.xml
# Copies BUILD_DIR/wineprefix (made by tools/wine-env.sh) for the shard;
# exits with the test program's status.
set -uo pipefail
build=$(cd "${1:?build folder}" && pwd)
exe=${2:?test program}
index=${3:?shard index}
total=${4:?shard count}
report=${5:?report file}
cd "$(dirname "$0")/.."

if [ ! -f "$build/wineprefix/.tempora-ready" ]; then
    echo "wine-shard: no prepared prefix in $build/wineprefix" >&2
    exit 2
fi
shard=$build/shards/$(basename "$exe" .exe)-$index
rm -rf "$shard"
mkdir -p "$shard"
# Copying the prepared prefix takes a fraction of a second; making one takes
# many, and two shards must not share one (one wineserver each).
cp -a "$build/wineprefix" "$shard/prefix"

export TEMPORA_WINEPREFIX="$shard/prefix"
# shellcheck source=wine-env.sh
. tools/wine-env.sh "$build" force-xvfb
trap wine_env_stop EXIT

export GTEST_TOTAL_SHARDS=$total GTEST_SHARD_INDEX=$index
rm -f "$report"
mkdir -p "$(dirname "$report")"
cd "$build/bin"
# gtest takes a Windows path for its report; the Unix root is drive Z:.
wine "$exe" --gtest_output="xml:Z:${report//\//\\}"
