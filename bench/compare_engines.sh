#!/usr/bin/env bash
# Times the engine beside two other time-stretchers and its real FFT beside FFTW, in one run.
#
# The job: a 60-second 44.1 kHz 16-bit file (the benchmark's own fixtures) slowed to half speed.
#   engine:       bench_vocoder's pass at N = 2048, window mode 1, mono WAV output, no playback
#   soundstretch: soundstretch in.wav out.wav -tempo=-50
#   rubberband:   rubberband -t 2 in.wav out.wav
# The engine mixes a stereo file to one channel and scales that, so the mono file (the same mix)
# is the equal-work comparison; on the stereo file the other tools scale and write two channels.
#
# The FFT: bench_fft's engine transforms beside FFTW's real-data plans made with FFTW_MEASURE, at
# 512, 1024 and 2048 points, forward and inverse.
#
# Prints each one's best wall time over RUNS rounds (default 5) and the engine's ratios, with the
# machine's load average at the start and the end: on a busy machine the figures are worth little.
# The two tools come from the Debian packages soundstretch and rubberband-cli; they serve only this
# comparison, so this script installs them when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${RUNS:-5}
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
cmake --build "$build" --target bench_vocoder bench_fft >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "Load average (1, 5, 15 min) at the start: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) processors"

# The best real time (in seconds) of each benchmark in a CSV of repetitions, as "name seconds" lines;
# heap_peak and rss_growth (bytes) follow where the benchmark reports them.
best_rows() {
  awk -F, '
    $1 == "name" { for (i = 1; i <= NF; ++i) column[$i] = i; next }
    $1 !~ /_(mean|median|stddev|cv)"?$/ {
      name = $1
      gsub(/"/, "", name)
      sub(/\/real_time$/, "", name)
      unit = $column["time_unit"]
      t = $column["real_time"] / (unit == "ms" ? 1e3 : unit == "us" ? 1e6 : 1e9)
      if (!(name in best) || t < best[name]) best[name] = t
      if ("\"heap_peak\"" in column && $column["\"heap_peak\""] > heap[name]) heap[name] = $column["\"heap_peak\""]
      if ("\"rss_growth\"" in column && $column["\"rss_growth\""] > rss[name]) rss[name] = $column["\"rss_growth\""]
    }
    END { for (name in best) printf "%s %.9f %d %d\n", name, best[name], heap[name], rss[name] }' "$1"
}

# Wall time of one run of a command, in seconds.
wall_time() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }'
}

# Rounds of every measurement in turn, so that each sees the machine's load as the others do: two
# single passes of the engine on each input (the benchmark keeps its fixtures in $work for the
# other tools), two runs of soundstretch on each, the FFTs. rubberband, some hundred times slower,
# runs once in each of the first two rounds only.
: >"$work/engine.csv"
: >"$work/fft.csv"
: >"$work/tools.txt"
for round in $(seq "$runs"); do
  LENTARO_BENCH_KEEP="$work" "$build/bin/bench_vocoder" --benchmark_filter='enginePass/fft:2048/' \
    --benchmark_min_time=0.001 --benchmark_repetitions=2 --benchmark_format=csv 2>/dev/null >>"$work/engine.csv"
  "$build/bin/bench_fft" --benchmark_filter='^(kv(Forward|Inverse)|fftw(Forward|Inverse)/measure)/' \
    --benchmark_repetitions=3 --benchmark_format=csv 2>/dev/null >>"$work/fft.csv"
  for input in mono stereo; do
    for _ in 1 2; do
      echo "soundstretch/$input $(wall_time soundstretch "$work/$input.wav" "$work/out.wav" -tempo=-50)" \
        >>"$work/tools.txt"
    done
    if [ "$round" -le 2 ]; then
      echo "rubberband/$input $(wall_time rubberband -t 2 "$work/$input.wav" "$work/out.wav")" >>"$work/tools.txt"
    fi
  done
done
best_rows "$work/engine.csv" >"$work/engine.txt"
best_rows "$work/fft.csv" >"$work/fft.txt"
engine_row() { awk -v n="enginePass/fft:2048/channels:$1" '$1 == n' "$work/engine.txt"; }
fft_time() { awk -v n="$1" '$1 == n { print $2 }' "$work/fft.txt"; }
tool_time() {
  awk -v n="$1" '$1 == n && (best == "" || $2 < best) { best = $2 } END { printf "%.3f", best }' "$work/tools.txt"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "60 s 44.1 kHz 16-bit, half speed, best of $((2 * runs)) single runs (rubberband: of 2)"
for input in mono stereo; do
  channels=1
  if [ "$input" = stereo ]; then channels=2; fi
  read -r _ engine heap rss < <(engine_row "$channels")
  soundstretch_time=$(tool_time "soundstretch/$input")
  rubberband_time=$(tool_time "rubberband/$input")
  target=""
  if [ "$input" = mono ]; then target=" (equal work: target at most 1.0)"; fi
  echo " $input input:"
  printf "  engine (N 2048, mode 1): %6.3f s   real-time factor %.4f   heap peak %d KiB   RSS growth %d KiB\n" \
    "$engine" "$(awk -v t="$engine" 'BEGIN { print t / 60 }')" $((heap / 1024)) $((rss / 1024))
  printf "  soundstretch -tempo=-50: %6s s   engine / soundstretch = %s%s\n" \
    "$soundstretch_time" "$(ratio "$engine" "$soundstretch_time")" "$target"
  printf "  rubberband -t 2:         %6s s   engine / rubberband   = %s (target at most 0.25)\n" \
    "$rubberband_time" "$(ratio "$engine" "$rubberband_time")"
done

echo "Real FFT beside FFTW (FFTW_MEASURE), best of $((3 * runs)), per transform (target at most 1.5)"
for direction in Forward Inverse; do
  for n in 512 1024 2048; do
    kv=$(fft_time "kv$direction/$n")
    fftw=$(fft_time "fftw$direction/measure/$n")
    printf "  %-7s %4d: engine %7.0f ns   FFTW %7.0f ns   engine / FFTW = %s\n" "$direction" "$n" \
      "$(awk -v t="$kv" 'BEGIN { print t * 1e9 }')" "$(awk -v t="$fftw" 'BEGIN { print t * 1e9 }')" \
      "$(ratio "$kv" "$fftw")"
  done
done

echo "Load average (1, 5, 15 min) at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
