#!/usr/bin/env bash
# Configures and builds into build/ (programs in build/bin/).
set -euo pipefail
cd "$(dirname "$0")/.."
# ccache, when the machine has it, only speeds up rebuilds; nothing needs it.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Paths below the source folder are hashed relative to it, so a second
  # clone or work tree reuses the same cache entries.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build build -j"$(nproc)"
