#!/bin/sh
# The Debian package made by `cpack -G DEB`: its name, its control fields (the dependencies read
# off the binaries), its files under /usr, and what lintian says of it: nothing at all for an
# optimised build, and for a Debug build only that it calls no fortified functions (they need the
# optimiser).
#   deb_test.sh BUILD_DIR BUILD_TYPE
set -eu
build=$1 build_type=${2:-}
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
         ./usr/share/applications/zypho.desktop ./usr/share/icons/hicolor/128x128/apps/zypho.png \
         ./usr/share/doc/zypho/copyright ./usr/share/doc/zypho/changelog.gz \
         ./usr/share/man/man1/zypho.1.gz ./usr/share/man/man1/zypho-capture.1.gz; do
  echo "$files" | grep -q " $f\$" || fail "$f is not in the package"
done
echo "$files" | grep -q "rwxr-xr-x.* ./usr/bin/zypho\$" || fail "the launcher is not executable"

# Every line of the extended description fits in 80 columns.
long=$(dpkg-deb -f "$deb" Description | awk 'length($0) > 80')
[ -z "$long" ] || fail "description lines over 80 columns: $long"

lintian -E -I --pedantic "$deb" >"$scratch/lintian.log" 2>&1 || true
grep -v '^running with root privileges' "$scratch/lintian.log" >"$scratch/tags" || true
case $build_type in
  Debug|"") grep -v '^I: zypho: hardening-no-fortify-functions ' "$scratch/tags" >"$scratch/left" || true ;;
  *) cp "$scratch/tags" "$scratch/left" ;;
esac
if [ -s "$scratch/left" ]; then
  cat "$scratch/lintian.log" >&2
  fail "lintian -E -I --pedantic: $(wc -l <"$scratch/left") lines"
fi
echo "$(basename "$deb"): $depends; lintian -E -I --pedantic: $(wc -l <"$scratch/tags") tags"
