#!/usr/bin/env bash
# Installs what building, testing and running Vorlan needs on Debian 12.
#   tools/install-deps.sh [package]
# "package" adds what checking the Debian package needs (tools/package.sh).
set -euo pipefail
packages=(cmake g++ ninja-build ccache qt6-base-dev qt6-charts-dev libqt6opengl6-dev libxkbcommon-dev
          libqt6sql6-sqlite libqt6sql6-psql postgresql libsqlite3-dev libzstd-dev zstd qt6-serialport-dev
          qt6-httpserver-dev qt6-websockets-dev pkg-config libqrencode-dev zbar-tools fonts-wqy-microhei sqlite3
          clang libclang-rt-14-dev xvfb xauth poppler-utils dpkg-dev desktop-file-utils appstream chromium nodejs)
[ "${1:-}" = package ] && packages+=(lintian)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Some Node.js builds bring npm along; Debian's comes as a package of its own.
command -v npm >/dev/null || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
# The browser test drives Chromium with puppeteer-core, at the version locked in tools/browser.
browser="$(dirname "$0")/browser"
[ -d "$browser/node_modules/puppeteer-core" ] || npm ci --prefix "$browser" --no-audit --no-fund
