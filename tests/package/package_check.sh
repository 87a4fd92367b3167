#!/usr/bin/env bash
# Packages the program of this build tree with CPack, unpacks the package into a scratch
# root and checks what a shop would get: the file list, the dependencies, --version and
# --help without a display, a first start offscreen, and where the data goes.
#   package_check.sh BUILD_DIR VERSION
# Exits 77 (skipped) where the Debian packaging tools are missing.
set -euo pipefail
build=$1
version=$2
for tool in dpkg-deb dpkg-shlibdeps cpack; do
  command -v "$tool" >/dev/null || { echo "$tool is missing; package check skipped"; exit 77; }
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/vorlan-package.XXXXXX")
trap 'chmod -R u+w "$scratch" 2>/dev/null; rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
fail() { echo "FAIL: $*" >&2; exit 1; }

# gzip rather than xz: the same package, made faster.
cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb=$scratch/out/vorlan_${version}_amd64.deb
[ -f "$deb" ] || { ls "$scratch/out"; fail "no $deb"; }

expected="./usr/bin/vorlan
./usr/share/applications/vorlan.desktop
./usr/share/doc-base/vorlan
./usr/share/doc/vorlan/changelog.gz
./usr/share/doc/vorlan/copyright
./usr/share/doc/vorlan/printing-help.html
./usr/share/doc/vorlan/usage-guide.html
./usr/share/icons/hicolor/128x128/apps/vorlan.png
./usr/share/icons/hicolor/16x16/apps/vorlan.png
./usr/share/icons/hicolor/22x22/apps/vorlan.png
./usr/share/icons/hicolor/24x24/apps/vorlan.png
./usr/share/icons/hicolor/256x256/apps/vorlan.png
./usr/share/icons/hicolor/32x32/apps/vorlan.png
./usr/share/icons/hicolor/48x48/apps/vorlan.png
./usr/share/icons/hicolor/64x64/apps/vorlan.png
./usr/share/icons/hicolor/scalable/apps/vorlan.svg
./usr/share/man/man1/vorlan.1.gz
./usr/share/metainfo/vorlan.metainfo.xml"
listing=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ { print $6 }' <<<"$listing" | LC_ALL=C sort)
diff <(echo "$expected") <(echo "$files") || fail "the package's files differ from the list above"
awk '$2 != "root/root" { bad = 1; print } END { exit bad }' <<<"$listing" || fail "files not owned by root"
grep -q '^-rwxr-xr-x .* ./usr/bin/vorlan$' <<<"$listing" || fail "/usr/bin/vorlan is not executable"

# Dependencies: computed from the libraries plus the plugins Qt loads, all Debian packages
# of this machine, and the Chinese font.
[ "$(dpkg-deb -f "$deb" Package Version Architecture | tr '\n' ' ')" = "Package: vorlan Version: $version Architecture: amd64 " ] ||
  fail "control fields: $(dpkg-deb -f "$deb" Package Version Architecture)"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6sql6 libqt6sql6-sqlite libqt6printsupport6 libqt6charts6 fonts-wqy-microhei; do
  grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
for name in $(sed -E 's/\([^)]*\)//g; s/[,|]/ /g' <<<"$depends"); do
  dpkg-query -W "$name" >/dev/null 2>&1 || fail "Depends names $name, which is no installed Debian package"
done

root=$scratch/root
dpkg -x "$deb" "$root"
bin=$root/usr/bin/vorlan
icons=$root/usr/share/icons/hicolor
for size in 16 22 24 32 48 64 128 256; do
  # Width and height in the PNG header: two big-endian words from byte 16.
  read -r -a b < <(od -An -tu1 -j16 -N8 "$icons/${size}x$size/apps/vorlan.png")
  width=$(((b[0] << 24) + (b[1] << 16) + (b[2] << 8) + b[3]))
  height=$(((b[4] << 24) + (b[5] << 16) + (b[6] << 8) + b[7]))
  [ "$width" -eq "$size" ] && [ "$height" -eq "$size" ] || fail "icon in ${size}x$size is $width x $height"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/vorlan.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
  appstream=$(appstreamcli validate --no-net "$root/usr/share/metainfo/vorlan.metainfo.xml" 2>&1 || true)
  ! grep -q '^E:' <<<"$appstream" || fail "AppStream data: $appstream"
  grep -q "release version=\"$version\"" "$root/usr/share/metainfo/vorlan.metainfo.xml" || fail "AppStream release is not $version"
fi

nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u VORLAN_HOME)
[ "$("${nodisplay[@]}" "$bin" --version)" = "Vorlan $version" ] || fail "--version printed: $("${nodisplay[@]}" "$bin" --version)"
help=$("${nodisplay[@]}" "$bin" --help) || fail "--help exited non-zero"
for option in --home --quit-after-start --version --help; do
  grep -q -- "$option" <<<"$help" || fail "--help does not list $option"
done

mkdir -p "$scratch/tmp" "$scratch/user"
chmod 1777 "$scratch/tmp"
chmod 777 "$scratch/user"
# The temporary folder is kept apart from every program folder used here, or the program
# would warn that it was never unpacked.
offscreen=(env -u VORLAN_HOME QT_QPA_PLATFORM=offscreen TMPDIR="$scratch/tmp" HOME="$scratch/user"
           XDG_DATA_HOME="$scratch/user/data" timeout 60)
start() { # expected folder, command...
  local folder=$1 out
  shift
  out=$("$@" --quit-after-start 2>"$scratch/stderr") || { cat "$scratch/stderr"; fail "start for $folder exited non-zero"; }
  grep -qx "program folder: $folder" <<<"$out" || fail "program folder: $out"
  grep -qx "guides: $root/usr/share/doc/vorlan" <<<"$out" || fail "guides: $out"
  grep -qx "main window shown" <<<"$out" || fail "main window was not shown: $out"
  [ -s "$folder/data/data.db" ] || fail "no database in $folder"
}

start "$scratch/home" "${offscreen[@]}" "$bin" --home "$scratch/home"

status=0
"${offscreen[@]}" "$bin" --hom "$scratch/elsewhere" >/dev/null 2>"$scratch/stderr" || status=$?
[ "$status" -eq 2 ] && grep -q "unknown argument --hom" "$scratch/stderr" || fail "a mistyped option gave $status: $(cat "$scratch/stderr")"

# Where the executable's folder is not writable (as root: run as nobody), the data go to
# the user's data folder and nothing is written beside the program.
if [ "$(id -u)" -eq 0 ]; then
  start "$scratch/user/data/Vorlan" runuser -u nobody -- "${offscreen[@]}" "$bin"
else
  chmod a-w "$root/usr/bin"
  start "$scratch/user/data/Vorlan" "${offscreen[@]}" "$bin"
  chmod u+w "$root/usr/bin"
fi
[ "$(ls -A "$root/usr/bin")" = vorlan ] || fail "files were written beside the program: $(ls -A "$root/usr/bin")"

# Unpacked into a writable folder (not under /usr), it stays portable.
start "$root/usr/bin" "${offscreen[@]}" "$bin"
echo "package check passed: $(basename "$deb"), $(stat -c %s "$deb") bytes"
