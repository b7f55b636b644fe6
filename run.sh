#!/usr/bin/env bash
# Installs what is missing, builds, creates the demo suite demo/ when absent
# and starts the host stand-in "Qvarion", from which Kv834 starts.
# The demo keeps its own KV000.INI inside demo/ (QVR_WINDIR), so the user's
# own settings are never touched.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh
export QVR_WINDIR="$PWD/demo"
if [ ! -f demo/KV000.INI ]; then
  build/bin/qvrhost init "$PWD/demo"
fi
exec build/bin/qvrhost --ini "$QVR_WINDIR/KV000.INI"
