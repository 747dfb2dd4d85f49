#!/usr/bin/env bash
# Times one job through the engine and through two other time-stretchers, in the same run:
# a 60-second stereo 44.1 kHz 16-bit file (the benchmark's own fixture) slowed to half speed.
#   engine:       bench_vocoder's pass at N = 2048, window mode 1, mono WAV output, no playback
#   soundstretch: soundstretch in.wav out.wav -tempo=-50
#   rubberband:   rubberband -t 2 in.wav out.wav
# Prints each one's best wall time of three runs and the engine's ratios to the other two.
# The two tools come from the Debian packages soundstretch and rubberband-cli; they serve only
# this comparison, so this script installs them when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=3
build=build/compare-engines  # clang Release, apart from any other build tree

need=()
command -v soundstretch >/dev/null || need+=(soundstretch)
command -v rubberband >/dev/null || need+=(rubberband-cli)
if [ ${#need[@]} -gt 0 ]; then
  echo "Installing: ${need[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

# The project's compilers, as ./test.sh uses them.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLENTARO_BENCH=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" --target bench_vocoder >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The engine: the benchmark keeps its fixture in $work for the other tools.
LENTARO_BENCH_KEEP="$work" "$build/bin/bench_vocoder" --benchmark_filter='enginePass/fft:2048' \
  --benchmark_repetitions="$runs" --benchmark_format=csv 2>/dev/null >"$work/engine.csv"
read -r engine heap rss < <(awk -F, '
  NR == 1 { for (i = 1; i <= NF; ++i) column[$i] = i; next }
  $1 ~ /real_time"?$/ {
    t = $column["real_time"] / 1000.0   # ms to s
    if (best == "" || t < best) best = t
    if ($column["\"heap_peak\""] > heap) heap = $column["\"heap_peak\""]
    if ($column["\"rss_growth\""] > rss) rss = $column["\"rss_growth\""]
  }
  END { printf "%.3f %d %d\n", best, heap, rss }' "$work/engine.csv")

# Best wall time of $runs runs of a command, in seconds.
best_of() {
  local best=""
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN { t = e - s; if (b == "" || t < b) b = t; print b }')
  done
  printf "%.3f" "$best"
}

soundstretch_time=$(best_of soundstretch "$work/input.wav" "$work/soundstretch.wav" -tempo=-50)
rubberband_time=$(best_of rubberband -t 2 "$work/input.wav" "$work/rubberband.wav")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
echo "60 s stereo 44.1 kHz 16-bit, half speed, best of $runs"
printf "  engine (N 2048, mode 1): %6s s   real-time factor %.4f   heap peak %d KiB   RSS growth %d KiB\n" \
  "$engine" "$(awk -v t="$engine" 'BEGIN { print t / 60 }')" $((heap / 1024)) $((rss / 1024))
printf "  soundstretch:            %6s s   engine / soundstretch = %s (target at most 2)\n" \
  "$soundstretch_time" "$(ratio "$engine" "$soundstretch_time")"
printf "  rubberband:              %6s s   engine / rubberband   = %s (target at most 0.25)\n" \
  "$rubberband_time" "$(ratio "$engine" "$rubberband_time")"
