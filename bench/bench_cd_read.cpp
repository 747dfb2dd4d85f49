// The digital reader reading a five-minute audio track from a disc image into a 16-bit stereo wave
// file, from the call to the ReadComplete event, as the program waits for it; beside it, in the
// same run, `cd-paranoia -d image.cue 1 out.wav` (package cd-paranoia) copying the same track of
// the same image. Target: within 1.5 times cd-paranoia's time.
//
// Counters: real_time_factor is the track's duration over the read's wall time.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QProcess>

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

// One disc image with a five-minute track, made at first use and removed at the end of the run.
class FiveMinuteDisc {
 public:
  FiveMinuteDisc() {
    std::string pattern = (fs::temp_directory_path() / "lentaro-bench-cd-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    folder = pattern;
    cue = lentaro::cd::test::writeImage(folder, "disc", {{{kTrackSeconds * 75, 0, false}}, {}, {}, {}});
  }
  ~FiveMinuteDisc() { fs::remove_all(folder); }

  QString path(const char* name) const { return QString::fromStdString((folder / name).string()); }

  fs::path folder;
  fs::path cue;
};

const FiveMinuteDisc& disc() {
  static const FiveMinuteDisc made;
  return made;
}

void setTrackRate(benchmark::State& state) {
  state.counters["real_time_factor"] = benchmark::Counter(
      static_cast<double>(kTrackSeconds) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void readFiveMinuteTrack(benchmark::State& state) {
  std::vector<std::unique_ptr<lentaro::cd::Drive>> list;
  list.push_back(std::make_unique<lentaro::cd::ImageDrive>(disc().cue));
  lentaro::cd::DriveList drives(std::move(list));
  DigitalReader reader(drives, DigitalReader::Timing{});
  if (reader.openDrive(1) != 0) std::abort();
  bool ended = false;
  bool failed = false;
  QObject::connect(&reader, &DigitalReader::ReadComplete, [&] { ended = true; });
  QObject::connect(&reader, &DigitalReader::Failure, [&](int, const QString&) { ended = failed = true; });
  const QString output = disc().path("track.wav");

  for (auto _ : state) {
    ended = false;
    if (reader.readTrack(1, output) != 0) std::abort();
    while (!ended) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    if (failed) std::abort();
  }
  setTrackRate(state);
}
BENCHMARK(readFiveMinuteTrack)->Unit(benchmark::kMillisecond)->UseRealTime();

void cdParanoiaFiveMinuteTrack(benchmark::State& state) {
  const QStringList arguments{QStringLiteral("-d"), QString::fromStdString(disc().cue.string()), QStringLiteral("1"),
                              disc().path("paranoia.wav")};
  for (auto _ : state) {
    QProcess paranoia;
    paranoia.setStandardOutputFile(QProcess::nullDevice());
    paranoia.setStandardErrorFile(QProcess::nullDevice());
    paranoia.start(QStringLiteral("cd-paranoia"), arguments);
    if (!paranoia.waitForFinished(-1) || paranoia.exitStatus() != QProcess::NormalExit || paranoia.exitCode() != 0) {
      state.SkipWithError("cd-paranoia did not copy the track (is the package cd-paranoia installed?)");
      break;
    }
  }
  setTrackRate(state);
}
BENCHMARK(cdParanoiaFiveMinuteTrack)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// The reader delivers its end from the event loop.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
