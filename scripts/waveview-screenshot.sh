#!/usr/bin/env bash
# A picture of the waveform view (a click-train loop with a selection, the rhythm grid aligned to
# it with its half beats, and the play line), taken under a virtual X server on Qt's xcb platform
# for a person to look at. Usage: scripts/waveview-screenshot.sh [build folder]; the build folder
# is build/test unless given. Writes waveview.png into the build folder and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/test}
cmake --build "$build" --target waveview_screenshot
# A sanitizer build would report the X libraries' allocations kept until exit as leaks.
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb \
  xvfb-run --auto-servernum --server-args="-screen 0 1920x1080x24" \
  "$build/bin/waveview_screenshot" "$(realpath "$build")/waveview.png"
