#!/usr/bin/env bash
# Installs what is missing, builds Debug with AddressSanitizer and UndefinedBehaviorSanitizer
# (clang, so the libFuzzer targets build too) and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build=build/test
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DLENTARO_SANITIZE=ON -DLENTARO_FUZZ=ON -DLENTARO_BENCH=ON
cmake --build "$build" --parallel "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export LENTARO_AUDIO=null
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
