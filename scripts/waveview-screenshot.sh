#!/usr/bin/env bash
# A picture of the waveform view (a 10 s loop of a 120 BPM click track slowed to 50 %, Select All,
# the rhythm grid aligned to it over 20 beats with its half beats, the play line, and the tempo box
# the view opens above it), taken of the whole screen of a virtual X server on Qt's xcb platform,
# with the openbox window manager when it is installed, for a person to look at.
# Usage: scripts/waveview-screenshot.sh [build folder]; the build folder is build/test unless
# given. Writes waveview.png into the build folder and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/test}
cmake --build "$build" --target waveview_screenshot
picture="$(realpath "$build")/waveview.png"
program="$(realpath "$build")/bin/waveview_screenshot"
# A sanitizer build would report the X libraries' allocations kept until exit as leaks.
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb \
  xvfb-run --auto-servernum --server-args="-screen 0 1920x1080x24" \
  bash -c '
    if command -v openbox >/dev/null; then
      openbox --startup "touch '"'"'$1.wm'"'"'" >/dev/null 2>&1 &
      for _ in $(seq 50); do [ -e "$1.wm" ] && break; sleep 0.1; done
      rm -f "$1.wm"
    fi
    "$2" "$1"
  ' _ "$picture" "$program"
