#!/usr/bin/env bash
# Builds Korvane and opens the demo board. Installs what is missing on a Debian 12 machine.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
korvane_install_missing
korvane_configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display to open a window on: run it as 'xvfb-run -a ./run.sh' (apt-get install xvfb) or from a desktop session."
    exit 1
fi
# The demo is opened from a copy in the build folder, so experiments never change the repository's files;
# a copy the user has saved since is newer than the repository's and is kept.
if [ -f examples/demo/demo.kvp ]; then
    mkdir -p build/demo
    cp -ru examples/demo/. build/demo/
    exec build/korvane "$PWD/build/demo/demo.kvp"
fi
exec build/korvane
