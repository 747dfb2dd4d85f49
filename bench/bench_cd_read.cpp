// The digital reader reading a five-minute audio track from a disc image into a 16-bit stereo wave
// file, from the call to the ReadComplete event, as the program waits for it. Target: under a
// second.
//
// Counters: real_time_factor is the track's duration over the read's wall time.

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <stdlib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/cd/DigitalReader.h"
#include "platform/cd/ImageDrive.h"
#include "tests/platform/cd/support/cd_image_writer.h"

namespace {

namespace fs = std::filesystem;
using lentaro::cd::DigitalReader;

constexpr int kTrackSeconds = 5 * 60;

void readFiveMinuteTrack(benchmark::State& state) {
  std::string pattern = (fs::temp_directory_path() / "lentaro-bench-cd-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) std::abort();
  const fs::path folder = pattern;
  const fs::path cue = lentaro::cd::test::writeImage(folder, "disc", {{{kTrackSeconds * 75, 0, false}}, {}, {}, {}});
  std::vector<std::unique_ptr<lentaro::cd::Drive>> list;
  list.push_back(std::make_unique<lentaro::cd::ImageDrive>(cue));
  lentaro::cd::DriveList drives(std::move(list));
  DigitalReader reader(drives, DigitalReader::Timing{});
  if (reader.openDrive(1) != 0) std::abort();
  bool ended = false;
  bool failed = false;
  QObject::connect(&reader, &DigitalReader::ReadComplete, [&] { ended = true; });
  QObject::connect(&reader, &DigitalReader::Failure, [&](int, const QString&) { ended = failed = true; });
  const QString output = QString::fromStdString((folder / "track.wav").string());

  for (auto _ : state) {
    ended = false;
    if (reader.readTrack(1, output) != 0) std::abort();
    while (!ended) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    if (failed) std::abort();
  }
  state.counters["real_time_factor"] = benchmark::Counter(
      static_cast<double>(kTrackSeconds) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  fs::remove_all(folder);
}
BENCHMARK(readFiveMinuteTrack)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// The reader delivers its end from the event loop.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
