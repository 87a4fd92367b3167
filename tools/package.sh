#!/usr/bin/env bash
# Builds Vorlan in Release and makes the Debian package build/package/vorlan_<version>_amd64.deb,
# then checks it with lintian, desktop-file-validate and appstreamcli.
#   tools/package.sh
# Install it with `sudo apt install ./build/package/vorlan_<version>_amd64.deb`.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tools/install-deps.sh package
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
# Debian's own compiler and linker flags with all hardening: fortified functions, stack
# protector, read-only relocations bound at start.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
tree=build/package/build
cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORLAN_BUILD_TESTS=OFF -DVORLAN_BUILD_BENCHMARKS=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$tree"
rm -f build/package/vorlan_*.deb
(cd "$tree" && cpack -B "$root/build/package")
rm -rf build/package/_CPack_Packages
deb=$(ls build/package/vorlan_*_amd64.deb)

check=$(mktemp -d)
trap 'rm -rf "$check"' EXIT
dpkg-deb -x "$deb" "$check"
desktop-file-validate "$check/usr/share/applications/vorlan.desktop"
# Warnings are shown; only errors stop here (the id "vorlan" is not a reverse domain name).
appstream=$(appstreamcli validate --no-net "$check/usr/share/metainfo/vorlan.metainfo.xml" 2>&1 || true)
echo "appstreamcli validate: $appstream"
if grep -q '^E:' <<<"$appstream"; then
  echo "package: the AppStream data has errors" >&2
  exit 1
fi
echo "lintian:"
lintian --fail-on error --display-info "$deb"
dpkg-deb --info "$deb"
echo "made $deb"
