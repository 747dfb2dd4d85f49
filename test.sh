#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test three times: Debug with
# AddressSanitizer and UndefinedBehaviorSanitizer (clang, so the libFuzzer targets build too),
# Release with the default compiler, as ./run.sh builds the program, so a fault one compiler hides
# cannot pass, and Debug with ThreadSanitizer, so a hand-over between threads that nothing orders
# fails the suite.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
export LENTARO_AUDIO=null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/support/tsan.supp"

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

# ThreadSanitizer cannot share a build with AddressSanitizer: a third one, clang again, without the
# fuzz targets and benchmarks.
build_and_test build/tsan-test \
  -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DLENTARO_TSAN=ON -DLENTARO_SANITIZE=OFF -DLENTARO_FUZZ=OFF -DLENTARO_BENCH=OFF
