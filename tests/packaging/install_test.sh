#!/bin/sh
# The installed tree: `cmake --install` into a scratch prefix, then the launchers run from a
# folder that holds no Media/. The demo must reach its loop there and play its music (without it
# it would end at once with status 1) and end on a stop, the capture tool must record from the
# installed media, the desktop entry must be valid and find its icon, and the manual pages must
# render.
#   install_test.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1 source=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/zypho-install-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
for f in bin/zypho bin/zypho-capture libexec/zypho/zypho libexec/zypho/zypho-capture \
         share/zypho/Media/s.ogg share/zypho/Media/fd.jpg share/applications/zypho.desktop \
         share/icons/hicolor/128x128/apps/zypho.png share/doc/zypho/README.md \
         share/doc/zypho/copyright share/man/man1/zypho.1.gz share/man/man1/zypho-capture.1.gz; do
  [ -e "$scratch/prefix/$f" ] || fail "$f is not installed"
done
[ "$(ls "$scratch/prefix/share/zypho/Media")" = "$(ls "$source/Media")" ] || fail "the installed media differ from Media/"
desktop-file-validate "$scratch/prefix/share/applications/zypho.desktop" || fail "the desktop entry is not valid"

mkdir "$scratch/elsewhere"
cd "$scratch/elsewhere"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0
# The sound goes to a file (SDL's disk driver): once it holds sound that is not silence, start-up
# has completed and the music plays, so the loop runs. SIGTERM then reaches SDL as a window close,
# which the loop answers with the demo's own stop: status 1, not death by the signal.
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$scratch/sound.raw" "$scratch/prefix/bin/zypho" >"$scratch/demo.out" 2>&1 &
pid=$!
heard() { [ -s "$scratch/sound.raw" ] && [ "$(tr -d '\000' <"$scratch/sound.raw" | head -c 1 | wc -c)" -eq 1 ]; }
tries=0
until heard; do
  kill -0 "$pid" 2>/dev/null || { wait "$pid" || true; cat "$scratch/demo.out" >&2; fail "the installed demo ended before its music started"; }
  tries=$((tries + 1))
  [ "$tries" -le 1200 ] || { kill "$pid"; fail "no music from the installed demo after a minute"; }
  sleep 0.05
done
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 1 ] || { cat "$scratch/demo.out" >&2; fail "the installed demo ended with status $status, not its stop's 1"; }
grep -v '^CRITICAL: ' "$scratch/demo.out" | grep -q . && { cat "$scratch/demo.out" >&2; fail "the installed demo printed something"; }

# The manual pages render without warnings, and the capture tool's one names every option of its
# --help.
for page in zypho zypho-capture; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$scratch/prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
done
manual=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$scratch/prefix/share/man/man1/zypho-capture.1.gz" 2>/dev/null)
for option in $("$scratch/prefix/bin/zypho-capture" --help | grep -o -- '--[a-z-]*' | sort -u); do
  echo "$manual" | grep -q -- "$option" || fail "the manual page of zypho-capture does not name $option"
done

"$scratch/prefix/bin/zypho-capture" -q -r 10 -s 5 -t 5.3 -o frames || fail "the installed capture tool failed"
[ "$(ls frames)" = "$(printf 'frame-000000.png\nframe-000001.png\nframe-000002.png')" ] || fail "frames: $(ls frames)"
echo "installed tree runs from any folder"
