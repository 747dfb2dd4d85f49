// The devices of the MCI control on the null sound card, offscreen:
// - open_and_length: Open plus Length of a 60-minute stereo 44.1 kHz wave file (a sparse file of
//   that size, so that reading any of its sound would show); target under 20 ms.
// - play_to_first_frame and cd_play_to_first_frame: from the Play command to the first frame the
//   sound card is handed, on a card that takes frames as fast as they come, for a wave file and
//   for a CD image (a drive of one 60-second audio track).
// - loop_repeat_gap: a 100 ms loop replayed from its own Done handler on a card that plays in
//   real time; the time each repeat adds beyond the loop's own length is the gap between a
//   play's last frame and the next one's first. Target under 50 ms.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/FrameSink.h"
#include "platform/audio/NullSoundCard.h"
#include "platform/cd/DriveList.h"
#include "platform/cd/ImageDrive.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/SoundCard.h"
#include "soundfile/file_types.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"
#include "tests/platform/cd/support/cd_image_writer.h"

namespace {

using Clock = std::chrono::steady_clock;
using lentaro::ScopedOverride;
namespace mci = lentaro::mci;
namespace audio = lentaro::audio;

constexpr int kRate = 44100;

QTemporaryDir& folder() {
  static QTemporaryDir dir;
  return dir;
}

// A stereo 16-bit wave file of `seconds` of a quiet tone, written through the sound-file core.
std::string writeTone(const char* name, int seconds) {
  const std::string path = folder().filePath(QLatin1String(name)).toStdString();
  auto out =
      kv::SoundStream::openWrite(kv::SampleFormat::make(kRate, 2, kv::kEncodingSigned, 2), path, kv::kFileTypeWav);
  if (!out || out->lastError() != kv::kOk) std::abort();
  std::vector<std::int32_t> samples(static_cast<std::size_t>(kRate) * 2);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<std::int32_t>((i % 100) << 20);
  for (int second = 0; second < seconds; ++second)
    out->write(samples.data(), static_cast<std::int64_t>(samples.size()));
  out->close();
  return path;
}

// A 60-minute stereo 16-bit wave file: the header of a short file, its sizes made those of an hour,
// and the file stretched to match without writing the sound (a sparse file).
std::string writeHour() {
  const std::string path = writeTone("hour.wav", 1);
  const std::uint32_t dataBytes = 60u * 60u * kRate * 4u;
  const auto put32 = [&](int fd, off_t at, std::uint32_t value) {
    const unsigned char bytes[] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                                   static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    if (::pwrite(fd, bytes, 4, at) != 4) std::abort();
  };
  const int fd = ::open(path.c_str(), O_WRONLY);
  if (fd < 0) std::abort();
  put32(fd, 4, 36 + dataBytes);
  put32(fd, 40, dataBytes);
  if (::ftruncate(fd, 44 + static_cast<off_t>(dataBytes)) != 0) std::abort();
  ::close(fd);
  return path;
}

// Notes when the card is first handed frames after being armed.
class FirstFrame final : public audio::FrameSink {
 public:
  void arm() {
    std::lock_guard<std::mutex> lock(mutex_);
    armed_ = true;
  }
  void played(const audio::Format&, const std::uint8_t*, std::size_t bytes) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!armed_ || bytes == 0) return;
    armed_ = false;
    at_ = Clock::now();
    heard_.notify_all();
  }
  Clock::time_point wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    heard_.wait(lock, [&] { return !armed_; });
    return at_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable heard_;
  bool armed_ = false;
  Clock::time_point at_;
};

void openFile(mci::MMControl& control, const std::string& path) {
  control.setFileName(QString::fromStdString(path));
  control.setWait(true);
  control.setCommand(QStringLiteral("Open"));
  if (control.error() != 0) std::abort();
}

void BM_open_and_length(benchmark::State& state) {
  static const std::string hour = writeHour();
  mci::MMControl control;
  control.setDeviceType(QStringLiteral("WaveAudio"));
  int length = 0;
  for (auto _ : state) {
    openFile(control, hour);
    length = control.length();
    control.setCommand(QStringLiteral("Close"));
  }
  if (length != 60 * 60 * 1000) state.SkipWithError("the hour did not read as an hour");
  state.counters["length_ms"] = length;
}
BENCHMARK(BM_open_and_length)->Unit(benchmark::kMillisecond);

// Plays from `from` (ms) again and again, timing each start up to the first frame the card takes.
void timeFirstFrames(benchmark::State& state, mci::MMControl& control, FirstFrame& sink, int from) {
  for (auto _ : state) {
    sink.arm();
    const Clock::time_point start = Clock::now();
    control.setFrom(from);
    control.setCommand(QStringLiteral("Play"));
    const Clock::time_point first = sink.wait();
    state.SetIterationTime(std::chrono::duration<double>(first - start).count());
    control.setWait(true);
    control.setCommand(QStringLiteral("Stop"));
  }
  control.setCommand(QStringLiteral("Close"));
}

void BM_play_to_first_frame(benchmark::State& state) {
  static const std::string tone = writeTone("tone.wav", 10);
  auto sink = std::make_shared<FirstFrame>();
  audio::NullSoundCard card(audio::NullSoundCard::unpaced);
  card.setSink(sink);
  mci::OnNullCard seam(card);
  ScopedOverride<mci::SoundCard> inPlace(mci::soundCard, seam);
  mci::MMControl control;
  control.setDeviceType(QStringLiteral("WaveAudio"));
  openFile(control, tone);
  timeFirstFrames(state, control, *sink, 1000);
}
BENCHMARK(BM_play_to_first_frame)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_cd_play_to_first_frame(benchmark::State& state) {
  lentaro::cd::test::ImageSpec disc;
  disc.tracks = {{60 * 75, 0, false}};
  std::vector<std::unique_ptr<lentaro::cd::Drive>> list;
  list.push_back(std::make_unique<lentaro::cd::ImageDrive>(
      lentaro::cd::test::writeImage(folder().path().toStdString(), "disc", disc)));
  lentaro::cd::DriveList drives(std::move(list));
  ScopedOverride<lentaro::cd::DriveList> drivesInPlace(lentaro::cd::cdDrives, drives);
  auto sink = std::make_shared<FirstFrame>();
  audio::NullSoundCard card(audio::NullSoundCard::unpaced);
  card.setSink(sink);
  mci::OnNullCard seam(card);
  ScopedOverride<mci::SoundCard> inPlace(mci::soundCard, seam);
  mci::MMControl control;
  control.setDeviceType(QStringLiteral("CDAudio"));
  openFile(control, "D:");
  timeFirstFrames(state, control, *sink, 3000);
}
BENCHMARK(BM_cd_play_to_first_frame)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_loop_repeat_gap(benchmark::State& state) {
  static const std::string tone = writeTone("loop.wav", 10);
  constexpr int loopMs = 100;
  constexpr int repeats = 20;
  audio::NullSoundCard card(1);
  mci::OnNullCard seam(card);
  ScopedOverride<mci::SoundCard> inPlace(mci::soundCard, seam);
  mci::MMControl control;
  control.setDeviceType(QStringLiteral("WaveAudio"));
  openFile(control, tone);
  const auto playLoop = [&] {
    control.setFrom(2000);
    control.setTo(2000 + loopMs);
    control.setCommand(QStringLiteral("Play"));
  };
  for (auto _ : state) {
    QEventLoop loop;
    int plays = 1;
    const auto connection = QObject::connect(&control, &mci::MMControl::done, [&](int) {
      if (plays == repeats) return loop.quit();
      ++plays;
      playLoop();
    });
    const Clock::time_point start = Clock::now();
    playLoop();
    loop.exec();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    QObject::disconnect(connection);
    state.SetIterationTime((seconds - repeats * loopMs / 1000.0) / repeats);
  }
  control.setCommand(QStringLiteral("Close"));
}
BENCHMARK(BM_loop_repeat_gap)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
