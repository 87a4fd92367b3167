#!/usr/bin/env bash
# Installs what building, testing and running Vorlan needs on Debian 12.
#   tools/install-deps.sh [package]
# "package" adds what checking the Debian package needs (tools/package.sh).
set -euo pipefail
packages=(cmake g++ ninja-build ccache qt6-base-dev qt6-charts-dev libqt6opengl6-dev libxkbcommon-dev
          libqt6sql6-sqlite libsqlite3-dev libzstd-dev zstd qt6-serialport-dev fonts-wqy-microhei sqlite3 clang libclang-rt-14-dev
          xvfb xauth poppler-utils pkg-config libqrencode-dev zbar-tools dpkg-dev desktop-file-utils appstream)
[ "${1:-}" = package ] && packages+=(lintian)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
