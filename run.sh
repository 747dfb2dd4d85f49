#!/usr/bin/env bash
# Installs what is missing, builds Lentaro (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF
cmake --build "$build" --parallel "$(nproc)"

exec "$build/bin/lentaro" "$@"
