#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest.
# Window tests run offscreen; the host-window check runs under Xvfb.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
cd build
export QT_QPA_PLATFORM=offscreen
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j"$(nproc)" "$@"
