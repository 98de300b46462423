#!/usr/bin/env bash
# Builds Korvane and runs every test. Installs what is missing on a Debian 12 machine.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
korvane_install_missing
korvane_configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
