#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice: Debug with AddressSanitizer
# and UndefinedBehaviorSanitizer (clang, so the libFuzzer targets build too), and Release with the
# default compiler, as ./run.sh builds the program, so a fault one compiler hides cannot pass.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
export LENTARO_AUDIO=null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# Configures the build folder given first with the options that follow, builds it and runs its tests.
build_and_test() {
  local build=$1
  shift
  cmake -S . -B "$build" -G Ninja "$@"
  cmake --build "$build" --parallel "$(nproc)"
  (cd "$build" && ctest --output-on-failure --parallel "$(nproc)" --timeout 300)
}

build_and_test build/test \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DLENTARO_SANITIZE=ON -DLENTARO_FUZZ=ON -DLENTARO_BENCH=ON

# No fuzz targets (libFuzzer needs clang) and no benchmarks: they build once, above.
build_and_test build/release-test \
  -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
  -DLENTARO_SANITIZE=OFF -DLENTARO_FUZZ=OFF -DLENTARO_BENCH=OFF
