#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need: every
# program that tools/test-all.sh, tools/run-clock.sh and the scripts they run
# call, on a minimal Debian 12 as well. Idempotent, and quick when everything
# is there already. Run as root.
set -euo pipefail

packages=(
    # Building: the presets' compilers, the test and benchmark libraries.
    cmake make g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
    g++-mingw-w64-x86-64-posix mingw-w64-tools
    # The source tree's checks (check-layers.py, check-format.sh), the demo
    # server of the web tests.
    git clang-format python3
    # Wine under Xvfb. Wine loads the X extensions it draws and reads the mouse
    # with at run time; apt counts them only as recommended, so a minimal
    # system would lack them and draw text and layered windows differently.
    wine wine64 xvfb xauth x11-xserver-utils x11-utils fonts-wqy-zenhei
    libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxfixes3 libxinerama1 libxxf86vm1
    # Screenshots and driving windows: import/convert/display, xdotool, a compositor.
    imagemagick xdotool xcompmgr faketime
    # The help file (chmcmd), the installer and the portable zip.
    fp-utils nsis zip
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
