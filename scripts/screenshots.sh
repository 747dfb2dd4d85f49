#!/usr/bin/env bash
# Pictures of the main window after each step of a first run (tests/program/first_run_test.cpp),
# of a walk to the tempo of a 120 BPM click track through the waveform view
# (tests/program/wave_view_walk_test.cpp, with pictures of the view too), of a disc's round trip
# and of a loop marked on a disc (tests/program/cd_round_trip_test.cpp, with pictures of the
# settings' Recording page, the recorder, the MP3 conversion window and Make Loop Points), and of
# the first start's hint,
# taken under a virtual X server on Qt's xcb platform with the openbox window manager when it is
# installed, at the window's own size and at 1280 x 720, for a person to look at, and the
# manual's pictures among them. Usage: scripts/screenshots.sh [build folder]; without one it
# installs what is missing and builds build/release-test (the Release build ./test.sh makes).
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
# One walk a process: the click track's keypad beat is not heard in time after the first run in
# the same process. The disc's walks number their pictures from 1 on: each keeps them in a folder
# of its own.
# A sanitizer build would report the X libraries' allocations kept until exit as leaks.
ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=xcb \
  xvfb-run --auto-servernum --server-args="-screen 0 1920x1080x24" \
  bash -c '
    set -e
    if command -v openbox >/dev/null; then
      openbox --startup "touch '"'"'$1/.wm'"'"'" >/dev/null 2>&1 &
      for _ in $(seq 50); do [ -e "$1/.wm" ] && break; sleep 0.1; done
      rm -f "$1/.wm"
    fi
    LENTARO_SCREENSHOTS="$1" "$2" --gtest_filter="FirstRun.*"
    LENTARO_SCREENSHOTS="$1" "$2" --gtest_filter="WaveViewWalk.*"
    LENTARO_SCREENSHOTS="$1/cd" "$2" \
      --gtest_filter="CdRoundTrip.TheDiscItsNamesAndLoopComeBackAfterEjectAndRestartAndAnMp3Converts"
    LENTARO_SCREENSHOTS="$1/cd-loop" "$2" \
      --gtest_filter="CdRoundTrip.ALoopMarkedWhileTrack2PlaysPlaysSlowsAndComesBackChosen"
  ' _ "$pictures" "$build/bin/program_tests"
echo "Screenshots in $pictures:"
ls "$pictures" "$pictures/cd" "$pictures/cd-loop"

# The manual's pictures, by the name the chapters give them.
manual=docs/manual/pictures
cp "$pictures/hint-window.png" "$manual/hint.png"
cp "$pictures/05-cd-view-normal.png" "$manual/cd-view.png"
cp "$pictures/02-opened.png" "$manual/wave-file-opened.png"
cp "$pictures/cd-loop/03-make-loop-points-window.png" "$manual/make-loop-points.png"
cp "$pictures/25-loop-kept.png" "$manual/loop-detail-trim.png"
cp "$pictures/26-transformed.png" "$manual/slow-play.png"
cp "$pictures/30-grid-aligned-window.png" "$manual/wave-view.png"
cp "$pictures/07-settings-dialog.png" "$manual/settings.png"
cp "$pictures/cd/03-loop-made.png" "$manual/cd-tracks.png"
cp "$pictures/cd/06-settings-recording-page.png" "$manual/settings-recording.png"
cp "$pictures/cd/13-recorder-window.png" "$manual/recorder.png"
cp "$pictures/cd/14-mp3-conversion-window.png" "$manual/mp3-conversion.png"
echo "The manual's pictures in $manual are refreshed."
