#!/usr/bin/env bash
# Builds the Debian package build/qvr-0834_<version>_amd64.deb from the
# programs in build/ (built first when needed). Install it with
#   sudo apt install ./build/qvr-0834_*_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cd build
cpack -G DEB
