// A five-minute 192 kbit/s stereo MP3 (made with libmp3lame before the runs) converted to a wave
// file through the conversion dialog's decoder, from opening the MP3 to the PlaybackFinished
// event, as the dialog waits for it; beside it, `mpg123 -q -w out.wav in.mp3` on the same file
// when mpg123 is installed. Target: within 1.5 times mpg123's time.
//
// Counters: real_time_factor is the MP3's duration over the conversion's wall time.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

#include "cd/mp3decoder.h"
#include "tests/cd/support/mp3_maker.h"

namespace {

constexpr int kSeconds = 5 * 60;

QTemporaryDir* folder = nullptr;

QString input() { return folder->filePath(QStringLiteral("in.mp3")); }
QString output() { return folder->filePath(QStringLiteral("out.wav")); }

void setRealTimeFactor(benchmark::State& state) {
  state.counters["real_time_factor"] = benchmark::Counter(
      static_cast<double>(kSeconds) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void decoderClass(benchmark::State& state) {
  lentaro::Mp3Decoder decoder;
  QEventLoop loop;
  bool failed = false;
  QObject::connect(&decoder, &lentaro::Mp3Decoder::PlaybackFinished, &loop, &QEventLoop::quit);
  QObject::connect(&decoder, &lentaro::Mp3Decoder::PlaybackFailed, &loop, [&] {
    failed = true;
    loop.quit();
  });
  for (auto _ : state) {
    decoder.open(input());
    decoder.setOutput(output());
    decoder.start();
    loop.exec();
    if (failed) std::abort();
  }
  setRealTimeFactor(state);
}
BENCHMARK(decoderClass)->Unit(benchmark::kMillisecond)->UseRealTime();

void mpg123Program(benchmark::State& state, QString program) {
  for (auto _ : state) {
    QProcess mpg123;
    mpg123.start(program, {QStringLiteral("-q"), QStringLiteral("-w"), output(), input()});
    if (!mpg123.waitForFinished(-1) || mpg123.exitCode() != 0) std::abort();
  }
  setRealTimeFactor(state);
}

}  // namespace

// The decoder reports from the event loop.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  folder = &dir;
  lentaro::test::writeMp3(input(), {44100, 2, 44100 * kSeconds, 440.0, 192});
  const QString program = QStandardPaths::findExecutable(QStringLiteral("mpg123"));
  if (program.isEmpty())
    std::fprintf(stderr, "mpg123 is not installed: its half of the comparison is left out\n");
  else
    benchmark::RegisterBenchmark("mpg123Program", mpg123Program, program)->Unit(benchmark::kMillisecond)->UseRealTime();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
