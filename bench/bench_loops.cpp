// The loop side over one wave file with 10,000 loop rows, in a main window on the offscreen
// platform and the null sound card: binding the rows to the grid, following the play position
// (the position moved between two loops each time), deleting a row, and the loop maker keeping
// 100 marks; and, on a null card of its own, a trim slider's release until the device plays and
// the end of a rendered engine pass until its file is heard; and, on the engine's own null card,
// a real-time pass's Play and a speed change while it plays until their first sample is heard.
#include "app/enginerunner.h"
#include "app/passend.h"
#include "app/programstate.h"
#include "app/shippedfiles.h"
#include "bench/sparse_wave.h"
#include "loops/frmTrim.h"
#include "loops/loopSide.h"
#include "mainwindow/frmMain.h"
#include "platform/audio/FrameSink.h"
#include "platform/audio/NullSoundCard.h"
#include "platform/forms/prompts.h"
#include "platform/forms/scriptedprompts.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/SoundCard.h"
#include "program/loopsideofmain.h"
#include "tests/support/named_control.h"
#include "tests/support/stand_in_sides.h"

#include <QCoreApplication>
#include <QFile>
#include <QSlider>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace lentaro;
using lentaro::test::control;

constexpr int loopRows = 10000;
constexpr int fileSeconds = 3600;
constexpr int loopMs = fileSeconds * 1000 / loopRows;

// The program folder with a wave file whose row has loopRows loops, and a main window with the
// loop side showing them.
struct Environment {
  QTemporaryDir registry;
  QTemporaryDir home;
  forms::ScriptedPrompts scripted;
  ScopedOverride<forms::PromptService> promptsInPlace{forms::prompts, scripted};
  frmMain* main = nullptr;
  LoopSideOfMain* loops = nullptr;
  int waveFileID = 1;

  Environment() {
    qputenv("LENTARO_REGISTRY_DIR", registry.path().toUtf8());
    qputenv("LENTARO_HOME", home.path().toUtf8());
    programState() = {};
    copyShippedFiles();
    fillDatabase();
    main = new frmMain([this](frmMain& window) {
      MainWindowSides sides = standInSides(window);
      auto side = makeProgramLoopSide(window);
      loops = side.get();
      sides.loops = std::move(side);
      return sides;
    });
    // Not shown: its start-up would show the tutorial hint.
    control<QTimer>(*main, "tmrAfterFormLoad")->stop();
    const QString song = home.filePath(QStringLiteral("song.wav"));
    writeSparseWave(song, fileSeconds);
    control<mci::MMControl>(*main, "WaveControl")->setFileName(song);
    control<mci::MMControl>(*main, "WaveControl")->setWait(true);
    control<mci::MMControl>(*main, "WaveControl")->setCommand(QStringLiteral("Open"));
    main->state().cdView = false;
    main->state().setCurrentMMControl(control<mci::MMControl>(*main, "WaveControl"));
    main->state().currentWaveFileID = waveFileID;
  }
  ~Environment() { delete main; }

  void fillDatabase() {
    const QString connection = QStringLiteral("bench");
    {
      QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
      db.setDatabaseName(home.filePath(QStringLiteral("lentaro.mdb")));
      db.open();
      db.transaction();
      QSqlQuery query(db);
      query.exec(QStringLiteral("INSERT INTO \"Wave Files\" (waveFileID, waveFileName) VALUES (1, 'song.wav')"));
      query.prepare(QStringLiteral(
          "INSERT INTO WaveLoopPoints (waveFileID, startTime, endTime, Comment) VALUES (1, ?, ?, 'a loop')"));
      for (int i = 0; i < loopRows; ++i) {
        query.addBindValue(i * loopMs);
        query.addBindValue((i + 1) * loopMs);
        query.exec();
      }
      db.commit();
    }
    QSqlDatabase::removeDatabase(connection);
  }

  bool bind() {
    QString reason;
    return main->state().bindWaveLoops(waveFileID, reason) && loops->rows().count() >= loopRows;
  }
};

void BM_BindLoopRows(benchmark::State& state) {
  Environment environment;
  bool bound = true;
  for (auto _ : state) bound = environment.bind() && bound;
  if (!bound) state.SkipWithError("the rows were not bound");
}
BENCHMARK(BM_BindLoopRows)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_HighlightLoopPoint(benchmark::State& state) {
  Environment environment;
  environment.bind();
  programState().gvLoopHighlight = true;
  mci::MMControl& wave = *control<mci::MMControl>(*environment.main, "WaveControl");
  int position = 0;
  for (auto _ : state) {
    // Into the next loop, so that every call moves the grid.
    position = (position + loopMs) % (fileSeconds * 1000);
    wave.setTo(position);
    wave.setWait(true);
    wave.setCommand(QStringLiteral("Seek"));
    environment.loops->highlightLoopPoint();
  }
  if (environment.loops->rows().currentRow() == LoopRows::noRow) state.SkipWithError("no loop followed");
}
BENCHMARK(BM_HighlightLoopPoint)->Unit(benchmark::kMicrosecond)->Iterations(1000);

void BM_DeleteLoopRow(benchmark::State& state) {
  Environment environment;
  environment.bind();
  LoopRows& rows = environment.loops->rows();
  for (auto _ : state) {
    rows.moveTo(rows.count() / 2);
    rows.deleteCurrent();
  }
  if (rows.count() != loopRows - static_cast<int>(state.iterations())) state.SkipWithError("rows were not deleted");
}
BENCHMARK(BM_DeleteLoopRow)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_KeepHundredMarks(benchmark::State& state) {
  Environment environment;
  environment.bind();
  LoopSideOfMain& loops = *environment.loops;
  for (auto _ : state) {
    state.PauseTiming();
    for (int mark = 0; mark < 100; ++mark) loops.fastInsert(QString::number(mark * 1000 + 7), QStringLiteral("00:00"));
    auto* maker = new makeLoopPoints(loops, *environment.main, environment.main->state());
    state.ResumeTiming();
    maker->btnKeep_Click();
    state.PauseTiming();
    delete maker;
    state.ResumeTiming();
  }
  if (loops.rows().count() < loopRows + 99) state.SkipWithError("the loops were not kept");
}
BENCHMARK(BM_KeepHundredMarks)->Unit(benchmark::kMillisecond)->Iterations(10);

using Clock = std::chrono::steady_clock;

// Runs the events until `done` holds or `bound` has passed; whether it holds.
template <typename Done>
bool processEventsUntil(Done done, Clock::duration bound) {
  const auto giveUp = Clock::now() + bound;
  while (!done() && Clock::now() < giveUp) {
    QCoreApplication::processEvents();
    std::this_thread::yield();
  }
  return done();
}

// A null card in real time that tells when it has played anything.
struct HeardCard {
  struct FirstSample final : audio::FrameSink {
    std::atomic<bool> heard{false};
    void played(const audio::Format&, const std::uint8_t*, std::size_t byteCount) override {
      if (byteCount > 0) heard = true;
    }
  };
  std::shared_ptr<FirstSample> sink = std::make_shared<FirstSample>();
  audio::NullSoundCard card;
  mci::OnNullCard seam{card};
  ScopedOverride<mci::SoundCard> inPlace{mci::soundCard, seam};

  HeardCard() { card.setSink(sink); }
};

// From the release of the trim window's start slider at a new place until the first sample of
// the loop from there reaches the sound card (its 500 ms position updates play no part).
void BM_TrimReleaseToFirstSample(benchmark::State& state) {
  HeardCard heardCard;
  Environment environment;
  environment.bind();
  LoopSideOfMain& loops = *environment.loops;
  loops.rows().moveTo(loopRows / 2);
  loops.showTrim();
  frmTrim* trim = loops.trim();
  if (!trim) {
    state.SkipWithError("the trim window did not open");
    return;
  }
  QSlider& start = *trim->slStart[0];
  bool heard = true;
  int step = 0;
  for (auto _ : state) {
    state.PauseTiming();
    heardCard.sink->heard = false;
    // Within the slider's reach, a different place each time.
    const int to = start.minimum() + (++step % 2) * loopMs / 2;
    state.ResumeTiming();
    start.setSliderDown(true);
    start.setValue(to);
    start.setSliderDown(false);
    processEventsUntil([&] { return heardCard.sink->heard.load(); }, std::chrono::seconds(5));
    state.PauseTiming();
    control<mci::MMControl>(*environment.main, "WaveControl")->setWait(true);
    control<mci::MMControl>(*environment.main, "WaveControl")->setCommand(QStringLiteral("Stop"));
    heard = heard && heardCard.sink->heard && start.value() == to;
    state.ResumeTiming();
  }
  if (!heard) state.SkipWithError("the slider did not take the place, or nothing was played");
}
BENCHMARK(BM_TrimReleaseToFirstSample)->Unit(benchmark::kMillisecond)->Iterations(50);

// The wave file the engine's own null card writes everything it plays into. It is named before
// the first benchmark loads the engine, as the engine makes its card once a process.
const std::string& engineCapture() {
  static QTemporaryDir folder;
  static const std::string path = [] {
    const QByteArray file = QFile::encodeName(folder.filePath(QStringLiteral("engine played.wav")));
    qputenv("LENTARO_AUDIO_CAPTURE", file);
    return file.toStdString();
  }();
  return path;
}

std::uint32_t littleEndian32(const char* bytes) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes);
  return b[0] | b[1] << 8 | b[2] << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

// The length of the capture's data chunk, which the card completes on every block it plays:
// the sound heard so far. The file's own size would also count the header, written when the
// card is made and again when the first block's format differs.
std::int64_t capturedBytes() {
  std::ifstream file(engineCapture(), std::ios::binary);
  char chunk[8];
  file.seekg(12);  // past "RIFF", its size and "WAVE"
  while (file.read(chunk, sizeof chunk)) {
    const std::uint32_t size = littleEndian32(chunk + 4);
    if (std::equal(chunk, chunk + 4, "data")) return size;
    file.seekg(size + size % 2, std::ios::cur);
  }
  return 0;
}

// Watches the capture from a thread of its own, so that its growth past a mark is timed when it
// happens rather than when the event loop next looks (the Play click itself pauses for events).
class CaptureWatch {
 public:
  CaptureWatch() : thread_([this] { watch(); }) {}
  ~CaptureWatch() {
    done_ = true;
    thread_.join();
  }
  // From now on, waits for the capture to be larger than `bytes`.
  void markAt(std::int64_t bytes) {
    const std::lock_guard<std::mutex> lock(mutex_);
    mark_ = bytes;
    grownAt_.reset();
  }
  void disarm() { markAt(-1); }
  std::optional<Clock::time_point> grownAt() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return grownAt_;
  }

 private:
  void watch() {
    while (!done_) {
      // Taken before the mark is read: a mark set meanwhile is the size then, never above it.
      const std::int64_t size = capturedBytes();
      {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (mark_ >= 0 && !grownAt_ && size > mark_) grownAt_ = Clock::now();
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  }

  mutable std::mutex mutex_;
  std::int64_t mark_ = -1;
  std::optional<Clock::time_point> grownAt_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

CaptureWatch& captureWatch() {
  static CaptureWatch watch;
  return watch;
}

// When the latest pass ended, on the runner's worker thread, before the program hears of it.
std::atomic<Clock::rep> passEndedAt{0};
// Whether the watch is marked at the capture's size when the next pass ends: a speed change
// stops the playing pass before it starts the new one, and only the new one's sound counts.
std::atomic<bool> markAtPassEnd{false};

void timedPassEnd(std::int32_t result) {
  passEndedAt = Clock::now().time_since_epoch().count();
  if (markAtPassEnd.exchange(false)) captureWatch().markAt(capturedBytes());
  handOverPassEnd(result);
}

// The loop side in "SlowPlay" at half speed with the largest FFT over a 10-second stereo
// temp.wav, the engine loaded.
struct SlowPlayBench {
  HeardCard heardCard;
  Environment environment;
  EngineRunner& runner = engineRunner();
  bool loaded = false;

  explicit SlowPlayBench(bool realTime) {
    engineCapture();
    environment.bind();
    loaded = runner.init(QStringLiteral(KELVOR_ENGINE_PATH)) == 1;
    if (!loaded) return;
    runner.registerCallBack(&timedPassEnd);
    writeSparseWave(environment.home.filePath(QStringLiteral("temp.wav")), 10);
    ProgramState& program = programState();
    program.gvRealtime = realTime;
    program.gvSoundQuality = 3;
    main().changeToMode(QStringLiteral("SlowPlay"));
    main().state().setSlowDownPercent(50);
  }
  ~SlowPlayBench() {
    if (loaded) runner.cleanUp();
  }
  frmMain& main() { return *environment.main; }
  LoopSideOfMain& loops() { return *environment.loops; }
};

double secondsBetween(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

// The times of ten runs in one process, the engine loaded once as the program loads it (the
// first run is the first pass after the load), with their median and worst as counters.
struct TenRuns {
  std::vector<double> seconds;

  void add(benchmark::State& state, double time) {
    state.SetIterationTime(time);
    seconds.push_back(time);
  }
  void report(benchmark::State& state) {
    if (seconds.empty()) return;
    std::sort(seconds.begin(), seconds.end());
    const std::size_t middle = seconds.size() / 2;
    const double median = seconds.size() % 2 == 1 ? seconds[middle] : (seconds[middle - 1] + seconds[middle]) / 2;
    state.counters["median_ms"] = median * 1000;
    state.counters["worst_ms"] = seconds.back() * 1000;
  }
};

// A 10-second stereo loop rendered at half speed with the largest FFT: from the end of the pass
// (the runner's report on its worker thread) until the first sample of the slowed loop reaches
// the sound card, the 200 ms hand-over included; median and worst of ten.
void BM_RenderedPassEndToReplay(benchmark::State& state) {
  SlowPlayBench bench(false);
  if (!bench.loaded) {
    state.SkipWithError("the engine did not load");
    return;
  }
  ProgramState& program = programState();
  HeardCard::FirstSample& sink = *bench.heardCard.sink;
  bool heard = true;
  for (auto _ : state) {
    sink.heard = false;
    passEndedAt = 0;
    program.gvSlowedFileReady = false;
    bench.loops().btnLoopPlay_Click();
    heard = processEventsUntil([&] { return sink.heard.load(); }, std::chrono::seconds(60)) && heard;
    const auto heardAt = Clock::now().time_since_epoch().count();
    heard = heard && passEndedAt != 0;
    state.SetIterationTime(std::chrono::duration<double>(Clock::duration(heardAt - passEndedAt)).count());
    control<mci::MMControl>(bench.main(), "WaveControl")->setWait(true);
    control<mci::MMControl>(bench.main(), "WaveControl")->setCommand(QStringLiteral("Stop"));
    program.gvPlayState.setState(false);
  }
  if (!heard) state.SkipWithError("the slowed loop was not heard");
}
BENCHMARK(BM_RenderedPassEndToReplay)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(10)
    ->ComputeStatistics("max",
                        [](const std::vector<double>& times) { return *std::max_element(times.begin(), times.end()); });

// The same loop in real time: from the Play click until the engine's card plays the first
// slowed sample; median and worst of ten.
void BM_RealTimePlayToFirstSample(benchmark::State& state) {
  SlowPlayBench bench(true);
  if (!bench.loaded) {
    state.SkipWithError("the engine did not load");
    return;
  }
  CaptureWatch& watch = captureWatch();
  TenRuns runs;
  bool heard = true;
  for (auto _ : state) {
    watch.markAt(capturedBytes());
    const auto clickedAt = Clock::now();
    bench.loops().btnLoopPlay_Click();
    heard = processEventsUntil([&] { return watch.grownAt().has_value(); }, std::chrono::seconds(10)) && heard;
    runs.add(state, secondsBetween(clickedAt, watch.grownAt().value_or(Clock::now())));
    bench.loops().slowControl_StopClick();
  }
  watch.disarm();
  runs.report(state);
  if (!heard) state.SkipWithError("the engine played nothing");
}
BENCHMARK(BM_RealTimePlayToFirstSample)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// While a real-time pass plays, a new speed: from the change until the engine's card plays the
// first sample of the pass at that speed (the playing one is stopped and waited for first);
// median and worst of ten.
void BM_SpeedChangeToFirstNewSample(benchmark::State& state) {
  SlowPlayBench bench(true);
  if (!bench.loaded) {
    state.SkipWithError("the engine did not load");
    return;
  }
  CaptureWatch& watch = captureWatch();
  const auto grown = [&] { return watch.grownAt().has_value(); };
  watch.markAt(capturedBytes());
  bench.loops().btnLoopPlay_Click();
  bool heard = processEventsUntil(grown, std::chrono::seconds(10));
  TenRuns runs;
  int step = 0;
  for (auto _ : state) {
    watch.disarm();
    markAtPassEnd = true;
    bench.main().state().setSlowDownPercent(++step % 2 == 1 ? 60 : 50);
    const auto changedAt = Clock::now();
    bench.loops().changeTransformParameters();
    heard = processEventsUntil(grown, std::chrono::seconds(10)) && heard;
    runs.add(state, secondsBetween(changedAt, watch.grownAt().value_or(Clock::now())));
  }
  markAtPassEnd = false;
  watch.disarm();
  bench.loops().slowControl_StopClick();
  runs.report(state);
  if (!heard) state.SkipWithError("the pass at the new speed was not heard");
}
BENCHMARK(BM_SpeedChangeToFirstNewSample)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

}  // namespace
