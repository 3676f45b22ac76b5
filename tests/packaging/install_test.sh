#!/bin/sh
# The installed tree: `cmake --install` into a scratch prefix, then the launchers run from a
# folder that holds no Media/. The demo must reach its loop there (without its music it would end
# at once with status 1), the capture tool must record from the installed media, and the desktop
# entry must be valid and find its icon.
#   install_test.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1 source=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/zypho-install-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
for f in bin/zypho bin/zypho-capture libexec/zypho/zypho libexec/zypho/zypho-capture \
         share/zypho/Media/s.ogg share/zypho/Media/fd.jpg share/applications/zypho.desktop \
         share/icons/hicolor/128x128/apps/zypho.png share/doc/zypho/README.md; do
  [ -e "$scratch/prefix/$f" ] || fail "$f is not installed"
done
[ "$(ls "$scratch/prefix/share/zypho/Media")" = "$(ls "$source/Media")" ] || fail "the installed media differ from Media/"
desktop-file-validate "$scratch/prefix/share/applications/zypho.desktop" || fail "the desktop entry is not valid"

mkdir "$scratch/elsewhere"
cd "$scratch/elsewhere"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
"$scratch/prefix/bin/zypho" >"$scratch/demo.out" 2>&1 &
pid=$!
sleep 3
kill -0 "$pid" 2>/dev/null || { wait "$pid" || true; cat "$scratch/demo.out" >&2; fail "the installed demo ended before its loop"; }
kill "$pid"
wait "$pid" 2>/dev/null || true

"$scratch/prefix/bin/zypho-capture" -q -r 10 -s 5 -t 5.3 -o frames || fail "the installed capture tool failed"
[ "$(ls frames)" = "$(printf 'frame-000000.png\nframe-000001.png\nframe-000002.png')" ] || fail "frames: $(ls frames)"
echo "installed tree runs from any folder"
