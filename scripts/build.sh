#!/usr/bin/env bash
# Configures and builds into build/ (programs in build/bin/).
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache, when the machine has it, only speeds up rebuilds; nothing needs it.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)"
