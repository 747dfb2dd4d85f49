// The waveform view's chart on the offscreen platform, 1920×1080, files in the page cache:
// - first_paint: temp.wav read into the series and the chart's first picture, for a 10-minute
//   and a one-hour stereo 44.1 kHz file at step 20 and at step 1. Targets: 10 minutes at step 20
//   under 100 ms; one hour under 500 ms at step 20 and 1.5 s at step 1.
// - read and first_picture: the two halves of first_paint.
// - zoom: a new X range drawn, on the one-hour file at step 20; target under 16 ms.
// - play_line_move: the play line moved one column further and the changed columns painted;
//   target under 4 ms, with no new waveform picture.
// - grid_drag_frame: one step of a rhythm-grid drag over the one-hour file at step 20: the first
//   line set (layout and mask) and what changed painted (the grid and the chart it uncovers);
//   target under 16 ms, with no new waveform picture.
// The points counter gives the memory the series holds: 2 bytes a point.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <cmath>
#include <map>
#include <vector>

#include "controls/wgrid2/wGrid2.h"
#include "soundfile/file_types.h"
#include "soundfile/sample_format.h"
#include "soundfile/sound_stream.h"
#include "waveview/tempwav.h"
#include "waveview/wavechart.h"

namespace {

constexpr int kRate = 44100;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

// A stereo 16-bit wave file of that many minutes: a swept tone with clicks, written once.
QString waveOfMinutes(int minutes) {
  static QTemporaryDir folder;
  static std::map<int, QString> made;
  if (auto found = made.find(minutes); found != made.end()) return found->second;
  const QString path = folder.filePath(QStringLiteral("temp%1.wav").arg(minutes));
  auto out = kv::SoundStream::openWrite(kv::SampleFormat::make(kRate, 2, kv::kEncodingSigned, 2), path.toStdString(),
                                        kv::kFileTypeWav);
  std::vector<int32_t> block(2 * kRate);
  for (int second = 0; second < minutes * 60; ++second) {
    for (int frame = 0; frame < kRate; ++frame) {
      const double t = second + double(frame) / kRate;
      const double value = 0.5 * std::sin(2 * M_PI * (220 + 20 * std::sin(t)) * t) + (frame % 4410 < 40 ? 0.4 : 0);
      block[2 * frame] = block[2 * frame + 1] = int32_t(value * 2147483647.0);
    }
    out->write(block.data(), int64_t(block.size()));
  }
  out->close();
  // Warm the page cache.
  (void)lentaro::readTempWav(path, 20);
  return made[minutes] = path;
}

void BM_first_paint(benchmark::State& state) {
  const QString path = waveOfMinutes(int(state.range(0)));
  const int step = int(state.range(1));
  int64_t points = 0;
  for (auto _ : state) {
    lentaro::WaveChart chart;
    chart.resize(kWidth, kHeight);
    lentaro::TempWav wav = lentaro::readTempWav(path, step);
    points = wav.series.count();
    chart.setSeries(std::move(wav.series));
    benchmark::DoNotOptimize(chart.grab());
  }
  state.counters["points"] = double(points);
}
BENCHMARK(BM_first_paint)
    ->Args({10, 20})
    ->Args({60, 20})
    ->Args({60, 1})
    ->ArgNames({"minutes", "step"})
    ->Unit(benchmark::kMillisecond);

// The two halves of the first paint: reading the file, and drawing the chart once read.
void BM_read(benchmark::State& state) {
  const QString path = waveOfMinutes(int(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(lentaro::readTempWav(path, int(state.range(1))));
}
BENCHMARK(BM_read)->Args({10, 20})->Args({60, 20})->ArgNames({"minutes", "step"})->Unit(benchmark::kMillisecond);

void BM_first_picture(benchmark::State& state) {
  const lentaro::TempWav wav = lentaro::readTempWav(waveOfMinutes(int(state.range(0))), int(state.range(1)));
  for (auto _ : state) {
    lentaro::WaveChart chart;
    chart.resize(kWidth, kHeight);
    chart.setSeries(wav.series);
    benchmark::DoNotOptimize(chart.grab());
  }
}
BENCHMARK(BM_first_picture)
    ->Args({10, 20})
    ->Args({60, 20})
    ->ArgNames({"minutes", "step"})
    ->Unit(benchmark::kMillisecond);

void BM_zoom(benchmark::State& state) {
  lentaro::WaveChart chart;
  chart.resize(kWidth, kHeight);
  chart.setSeries(lentaro::readTempWav(waveOfMinutes(60), 20).series);
  const double whole = chart.xMax();
  int zoom = 0;
  for (auto _ : state) {
    // From a tenth of the file to all of it and back.
    chart.setXRange(19, ++zoom % 2 ? whole / 10 : whole);
    benchmark::DoNotOptimize(chart.grab());
  }
}
BENCHMARK(BM_zoom)->Unit(benchmark::kMillisecond);

void BM_play_line_move(benchmark::State& state) {
  lentaro::WaveChart chart;
  chart.resize(kWidth, kHeight);
  chart.setSeries(lentaro::readTempWav(waveOfMinutes(10), 20).series);
  (void)chart.grab();
  const int renders = chart.renders();
  const QRect plot = chart.chartRect();
  lentaro::WaveChart::Overlay overlay;
  overlay.boxShown = true;
  overlay.boxFrom = plot.left() + 100;
  overlay.boxTo = plot.right() - 100;
  int column = plot.left();
  for (auto _ : state) {
    const int from = column;
    column = column < plot.right() ? column + 1 : plot.left();
    overlay.lines = {column};
    chart.setOverlay(overlay);
    benchmark::DoNotOptimize(chart.grab(QRect(std::min(from, column), 0, std::abs(column - from) + 1, kHeight)));
  }
  if (chart.renders() != renders) state.SkipWithError("the play line drew the waveform again");
}
BENCHMARK(BM_play_line_move)->Unit(benchmark::kMicrosecond);

void BM_grid_drag_frame(benchmark::State& state) {
  QWidget window;
  window.resize(kWidth, kHeight);
  auto* chart = new lentaro::WaveChart(&window);
  chart->setGeometry(0, 0, kWidth, kHeight);
  chart->setSeries(lentaro::readTempWav(waveOfMinutes(60), 20).series);
  auto* grid = new lentaro::wGrid2(&window);
  grid->setGeometry(chart->geometry());
  grid->setThirdsVisible(true);
  grid->setBeatWidth(900);
  window.show();
  (void)window.grab();
  const int renders = chart->renders();
  int step = 0;
  for (auto _ : state) {
    // One pixel (15 twips) a frame, back and forth over a beat; the window paints what changed.
    grid->setFirstLine(grid->FirstLine() + (++step / 60 % 2 ? -15 : 15));
    QCoreApplication::processEvents();
  }
  if (chart->renders() != renders) state.SkipWithError("the grid drew the waveform again");
}
BENCHMARK(BM_grid_drag_frame)->Unit(benchmark::kMillisecond);

}  // namespace
