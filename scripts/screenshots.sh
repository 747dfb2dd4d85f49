#!/usr/bin/env bash
# Pictures of the main window after each step of a first run (tests/program/first_run_test.cpp)
# and of a walk to the tempo of a 120 BPM click track through the waveform view
# (tests/program/wave_view_walk_test.cpp, with pictures of the view too), taken under a virtual X
# server on Qt's xcb platform, at the window's own size and at 1280 x 720, for a person to look at,
# and the manual's pictures among them. Usage: scripts/screenshots.sh [build folder]; without one
# it installs what is missing and builds build/release-test (the Release build ./test.sh makes).
# Prints the folder the pictures are in.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-}
if [ -z "$build" ]; then
  build=build/release-test
  ./scripts/install-deps.sh
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
    -DLENTARO_SANITIZE=OFF -DLENTARO_FUZZ=OFF -DLENTARO_BENCH=OFF
fi
cmake --build "$build" --target program_tests --parallel "$(nproc)"

pictures=$(mktemp -d "${TMPDIR:-/tmp}/lentaro-screenshots.XXXXXX")
# A sanitizer build would report the X libraries' allocations kept until exit as leaks.
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb LENTARO_SCREENSHOTS="$pictures" \
  xvfb-run --auto-servernum --server-args="-screen 0 1920x1080x24" \
  "$build/bin/program_tests" --gtest_filter='FirstRun.*:WaveViewWalk.*'
echo "Screenshots in $pictures:"
ls "$pictures"

# The manual's pictures, by the name the chapters give them.
manual=docs/manual/pictures
cp "$pictures/05-cd-view-normal.png" "$manual/cd-view.png"
cp "$pictures/02-opened.png" "$manual/wave-file-opened.png"
cp "$pictures/25-loop-kept.png" "$manual/loop-detail-trim.png"
cp "$pictures/26-transformed.png" "$manual/slow-play.png"
cp "$pictures/30-grid-aligned-window.png" "$manual/wave-view.png"
cp "$pictures/07-settings-dialog.png" "$manual/settings.png"
echo "The manual's pictures in $manual are refreshed."
