#!/usr/bin/env bash
# Installs the build given as the argument into a fresh prefix and starts the installed program
# with nothing from the build tree or the environment to help it: it must load its runner and the
# engine from the prefix's lib/lentaro and copy the shipped database and manual from
# share/lentaro into a fresh program folder. The desktop entry must pass desktop-file-validate.
set -euo pipefail

build=$1
work=$(mktemp -d)
program=""
cleanup() {
  if [ -n "$program" ]; then
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*" >&2
  exit 1
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/lentaro lib/lentaro/libpallomi.so lib/lentaro/libkelvor.so lib/lentaro/liblentaro_audio.so \
  share/lentaro/lentaro.mdb share/applications/lentaro.desktop \
  share/icons/hicolor/scalable/apps/lentaro.svg; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
manual="share/lentaro/Lentaro Manual.pdf"
[ -f "$prefix/$manual" ] || fail "$manual is not installed"
desktop-file-validate "$prefix/share/applications/lentaro.desktop" ||
  fail "the desktop entry is not valid"
# The program's run path leads into the prefix, never back into the build tree.
runpath=$(readelf -d "$prefix/bin/lentaro" | grep -E 'RUNPATH|RPATH' || true)
case $runpath in
  *'$ORIGIN/../lib/lentaro'*) ;;
  *) fail "bin/lentaro's run path is not \$ORIGIN/../lib/lentaro: $runpath" ;;
esac
case $runpath in
  *"$build"*) fail "bin/lentaro's run path leads into the build tree: $runpath" ;;
esac

# The dynamic loader tells which files it opened; the program runs until the engine is loaded
# from the prefix and the database is in its folder (it then waits for a person, so it is ended).
# Its own temporary folder too: tests running beside it keep sockets and files in the shared one.
mkdir -p "$work/home" "$work/settings" "$work/tmp"
env -u LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen LENTARO_AUDIO=null TMPDIR="$work/tmp" \
  LENTARO_HOME="$work/home" LENTARO_REGISTRY_DIR="$work/settings" \
  LD_DEBUG=files LD_DEBUG_OUTPUT="$work/loader" \
  "$prefix/bin/lentaro" >"$work/output" 2>&1 &
program=$!

engine="$prefix/bin/../lib/lentaro/libkelvor.so"
started() {
  [ -f "$work/home/lentaro.mdb" ] && [ -f "$work/home/Lentaro Manual.pdf" ] && cat "$work"/loader.* 2>/dev/null | grep -qF "calling init: $engine"
}
for _ in $(seq 600); do
  started && break
  kill -0 "$program" 2>/dev/null || break
  sleep 0.1
done
if ! started; then
  cat "$work/output" >&2
  if ! kill -0 "$program" 2>/dev/null; then
    status=0
    wait "$program" || status=$?
    program=""
    echo "the installed program ended by itself with status $status" >&2
  fi
  fail "the installed program did not load $engine and copy lentaro.mdb and the manual into its folder"
fi
echo "installed program started from $prefix"
