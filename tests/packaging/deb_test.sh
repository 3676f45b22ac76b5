#!/bin/sh
# The Debian package made by `cpack -G DEB`: its name, its control fields (the dependencies read
# off the binaries) and its files under /usr.
#   deb_test.sh BUILD_DIR
set -eu
build=$1
scratch=$(mktemp -d "${TMPDIR:-/tmp}/zypho-deb-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$scratch"/zypho_*_*.deb)
[ -f "$deb" ] || fail "no zypho_VERSION_ARCH.deb"
[ "$(dpkg-deb -f "$deb" Package)" = zypho ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libsdl1.2-compat-shim libsdl-image1.2 libsdl-mixer1.2 libc6; do
  echo "$depends" | grep -q "$lib" || fail "Depends lacks $lib: $depends"
done
dpkg-deb -f "$deb" Recommends | grep -q ffmpeg || fail "Recommends lacks ffmpeg"
files=$(dpkg-deb -c "$deb")
for f in ./usr/bin/zypho ./usr/bin/zypho-capture ./usr/libexec/zypho/zypho ./usr/share/zypho/Media/s.ogg \
         ./usr/share/applications/zypho.desktop ./usr/share/icons/hicolor/128x128/apps/zypho.png; do
  echo "$files" | grep -q " $f\$" || fail "$f is not in the package"
done
echo "$files" | grep -q "rwxr-xr-x.* ./usr/bin/zypho\$" || fail "the launcher is not executable"
echo "$(basename "$deb"): $depends"
