#!/usr/bin/env bash
# Times the engine beside two other time-stretchers and its real FFT beside FFTW, in one run, as
# the default compiler builds it (what ./run.sh makes: CMAKE_BUILD_TYPE=Release, no compiler named)
# and, beside it, as the other of gcc and clang builds it.
#
# The job: a 60-second 44.1 kHz 16-bit file (the benchmark's own fixtures) slowed to half speed.
#   engine:       bench_vocoder's pass at N = 2048, window mode 1, mono WAV output, no playback
#   soundstretch: soundstretch in.wav out.wav -tempo=-50
#   rubberband:   rubberband -t 2 in.wav out.wav
# The engine mixes a stereo file to one channel and scales that, so the mono file (the same mix)
# is the equal-work comparison; on the stereo file the other tools scale and write two channels.
#
# The FFT: bench_fft's engine transforms beside FFTW's single-precision real-data plans (the engine's
# transforms work in floats too) made with FFTW_MEASURE, at 512, 1024 and 2048 points, forward and
# inverse.
#
# Prints each one's best wall time over RUNS rounds (default 5) and the engine's ratios, with the
# machine's load average at the start and the end: on a busy machine the figures are worth little.
# The two tools come from the Debian packages soundstretch and rubberband-cli; they serve only this
# comparison, so this script installs them when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${RUNS:-5}
builds=build/compare-engines  # one Release tree per compiler, apart from any other build tree

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

# The default compiler's build, configured as ./run.sh configures its own, then the other one's.
cmake -S . -B "$builds/default" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLENTARO_BENCH=ON >/dev/null
default_compiler=$(awk -F= '/^CMAKE_CXX_COMPILER_ID:/ { print $2 }' "$builds/default/CMakeCache.txt")
if [ -z "$default_compiler" ]; then
  default_compiler=$("$(awk -F= '/^CMAKE_CXX_COMPILER:/ { print $2 }' "$builds/default/CMakeCache.txt")" --version |
    head -1)
fi
case "$default_compiler" in
  *[Cc]lang*) other=(gcc g++) ;;
  *) other=(clang clang++) ;;
esac
cmake -S . -B "$builds/other" -G Ninja -DCMAKE_BUILD_TYPE=Release -DLENTARO_BENCH=ON \
  -DCMAKE_C_COMPILER="${other[0]}" -DCMAKE_CXX_COMPILER="${other[1]}" >/dev/null
compilers=(default other)
declare -A label
for b in "${compilers[@]}"; do
  cmake --build "$builds/$b" --target bench_vocoder bench_fft >/dev/null
  version=$(awk -F= '/^CMAKE_CXX_COMPILER:/ { print $2 }' "$builds/$b/CMakeCache.txt")
  label[$b]="$("$version" --version | head -1)"
done
label[default]="${label[default]} (default compiler, what ./run.sh builds)"

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

# Rounds of every measurement in turn, so that each sees the machine's load as the others do: for
# each build two single passes of the engine on each input (the benchmark keeps its fixtures in
# $work for the other tools) and the FFTs, then two runs of soundstretch on each input. rubberband,
# some hundred times slower, runs once in each of the first two rounds only.
: >"$work/tools.txt"
for b in "${compilers[@]}"; do
  : >"$work/engine-$b.csv"
  : >"$work/fft-$b.csv"
done
for round in $(seq "$runs"); do
  for b in "${compilers[@]}"; do
    LENTARO_BENCH_KEEP="$work" "$builds/$b/bin/bench_vocoder" --benchmark_filter='enginePass/fft:2048/' \
      --benchmark_min_time=0.001 --benchmark_repetitions=2 --benchmark_format=csv 2>/dev/null >>"$work/engine-$b.csv"
    "$builds/$b/bin/bench_fft" --benchmark_filter='^(kv(Forward|Inverse)|fftw(Forward|Inverse)/measure)/' \
      --benchmark_repetitions=3 --benchmark_format=csv 2>/dev/null >>"$work/fft-$b.csv"
  done
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
for b in "${compilers[@]}"; do
  best_rows "$work/engine-$b.csv" >"$work/engine-$b.txt"
  best_rows "$work/fft-$b.csv" >"$work/fft-$b.txt"
done
engine_row() { awk -v n="enginePass/fft:2048/channels:$2" '$1 == n' "$work/engine-$1.txt"; }
fft_time() { awk -v n="$2" '$1 == n { print $2 }' "$work/fft-$1.txt"; }
tool_time() {
  awk -v n="$1" '$1 == n && (best == "" || $2 < best) { best = $2 } END { printf "%.3f", best }' "$work/tools.txt"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "60 s 44.1 kHz 16-bit, half speed, best of $((2 * runs)) single runs (rubberband: of 2)"
for input in mono stereo; do
  channels=1
  if [ "$input" = stereo ]; then channels=2; fi
  soundstretch_time=$(tool_time "soundstretch/$input")
  rubberband_time=$(tool_time "rubberband/$input")
  target=""
  if [ "$input" = mono ]; then target=" (equal work: target at most 1.0)"; fi
  echo " $input input:"
  printf "  soundstretch -tempo=-50: %6s s\n" "$soundstretch_time"
  printf "  rubberband -t 2:         %6s s\n" "$rubberband_time"
  for b in "${compilers[@]}"; do
    read -r _ engine heap rss < <(engine_row "$b" "$channels")
    echo "  engine (N 2048, mode 1), ${label[$b]}:"
    printf "    %6.3f s   real-time factor %.4f   heap peak %d KiB   RSS growth %d KiB\n" \
      "$engine" "$(awk -v t="$engine" 'BEGIN { print t / 60 }')" $((heap / 1024)) $((rss / 1024))
    printf "    engine / soundstretch = %s%s   engine / rubberband = %s (target at most 0.25)\n" \
      "$(ratio "$engine" "$soundstretch_time")" "$target" "$(ratio "$engine" "$rubberband_time")"
  done
done

echo "Real FFT beside FFTW (FFTW_MEASURE), best of $((3 * runs)), per transform (target at most 1.5)"
for b in "${compilers[@]}"; do
  echo " ${label[$b]}:"
  for direction in Forward Inverse; do
    for n in 512 1024 2048; do
      kv=$(fft_time "$b" "kv$direction/$n")
      fftw=$(fft_time "$b" "fftw$direction/measure/$n")
      printf "  %-7s %4d: engine %7.0f ns   FFTW %7.0f ns   engine / FFTW = %s\n" "$direction" "$n" \
        "$(awk -v t="$kv" 'BEGIN { print t * 1e9 }')" "$(awk -v t="$fftw" 'BEGIN { print t * 1e9 }')" \
        "$(ratio "$kv" "$fftw")"
    done
  done
done

echo "Load average (1, 5, 15 min) at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
