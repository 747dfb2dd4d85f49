#!/usr/bin/env bash
# Installs what is missing, builds Lentaro (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

build=build/release
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" --parallel "$(nproc)"

if [ -x "$build/app/lentaro" ]; then
  exec "$build/app/lentaro" "$@"
fi
echo "Built the engine libraries into $build; the windowed program is not built yet."
