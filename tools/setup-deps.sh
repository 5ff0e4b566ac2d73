#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need.
# Idempotent, and quick when everything is there already. Run as root.
set -euo pipefail

packages=(
    cmake make g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
    clang-format python3 g++-mingw-w64-x86-64-posix mingw-w64-tools
    wine wine64 xvfb nsis fp-utils zip xauth x11-xserver-utils fonts-wqy-zenhei imagemagick x11-utils xdotool xcompmgr faketime
)
missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
