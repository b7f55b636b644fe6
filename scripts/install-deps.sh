#!/usr/bin/env bash
# Installs the Debian 12 packages the project builds, tests and runs with,
# when any of them is missing. Uses sudo when not root.
set -euo pipefail
packages=(
  g++ cmake make pkg-config ccache
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql qt6-translations-l10n
  libxcb1-dev libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 xvfb xauth
  poppler-utils
  dpkg-dev file desktop-file-utils lintian appstream man-db librsvg2-bin
  cups-daemon cups-client cups-filters printer-driver-cups-pdf libcups2-dev
  clang libclang-rt-dev llvm
  postgresql libpq-dev libsqlite3-dev
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
