// The loop side over one wave file with 10,000 loop rows, in a main window on the offscreen
// platform and the null sound card: binding the rows to the grid, following the play position
// (the position moved between two loops each time), deleting a row, and the loop maker keeping
// 100 marks; and, on a null card of its own, a trim slider's release until the device plays and
// the end of a rendered engine pass until its file is heard.
#include "app/enginerunner.h"
#include "app/passend.h"
#include "app/programstate.h"
#include "app/shippedfiles.h"
#include "bench/sparse_wave.h"
#include "loops/frmTrim.h"
#include "loops/loopSide.h"
#include "mainwindow/frmMain.h"
#include "mainwindow/standinsides.h"
#include "platform/audio/FrameSink.h"
#include "platform/audio/NullSoundCard.h"
#include "platform/forms/prompts.h"
#include "platform/forms/scriptedprompts.h"
#include "platform/mci/MMControl.h"
#include "platform/mci/SoundCard.h"

#include <QCoreApplication>
#include <QSlider>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {

using namespace lentaro;

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
  LoopSide* loops = nullptr;
  int waveFileID = 1;

  Environment() {
    qputenv("LENTARO_REGISTRY_DIR", registry.path().toUtf8());
    qputenv("LENTARO_HOME", home.path().toUtf8());
    programState() = {};
    copyShippedFiles();
    fillDatabase();
    main = new frmMain([this](frmMain& window) {
      MainWindowSides sides = standInSides(window);
      auto side = std::make_unique<LoopSide>(window);
      loops = side.get();
      sides.loops = std::move(side);
      return sides;
    });
    // Not shown: its start-up would show the tutorial hint.
    main->tmrAfterFormLoad->stop();
    const QString song = home.filePath(QStringLiteral("song.wav"));
    writeSparseWave(song, fileSeconds);
    main->WaveControl->setFileName(song);
    main->WaveControl->setWait(true);
    main->WaveControl->setCommand(QStringLiteral("Open"));
    main->state().cdView = false;
    main->state().currentMMControl = main->WaveControl;
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
  mci::MMControl& wave = *environment.main->WaveControl;
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
  LoopSide& loops = *environment.loops;
  for (auto _ : state) {
    state.PauseTiming();
    for (int mark = 0; mark < 100; ++mark) loops.fastInsert(QString::number(mark * 1000 + 7));
    auto* maker = new makeLoopPoints(loops, *environment.main);
    state.ResumeTiming();
    maker->btnKeep_Click();
    state.PauseTiming();
    delete maker;
    state.ResumeTiming();
  }
  if (loops.rows().count() < loopRows + 99) state.SkipWithError("the loops were not kept");
}
BENCHMARK(BM_KeepHundredMarks)->Unit(benchmark::kMillisecond)->Iterations(10);

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
  LoopSide& loops = *environment.loops;
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
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!heardCard.sink->heard && std::chrono::steady_clock::now() < giveUp) {
      QCoreApplication::processEvents();
      std::this_thread::yield();
    }
    state.PauseTiming();
    environment.main->WaveControl->setWait(true);
    environment.main->WaveControl->setCommand(QStringLiteral("Stop"));
    heard = heard && heardCard.sink->heard && start.value() == to;
    state.ResumeTiming();
  }
  if (!heard) state.SkipWithError("the slider did not take the place, or nothing was played");
}
BENCHMARK(BM_TrimReleaseToFirstSample)->Unit(benchmark::kMillisecond)->Iterations(50);

// When the latest pass ended, on the runner's worker thread, before the program hears of it.
std::atomic<std::chrono::steady_clock::rep> passEndedAt{0};

void timedPassEnd(std::int32_t result) {
  passEndedAt = std::chrono::steady_clock::now().time_since_epoch().count();
  handOverPassEnd(result);
}

// A 10-second stereo loop rendered at half speed with the largest FFT: from the end of the pass
// (the runner's report on its worker thread) until the first sample of the slowed loop reaches
// the sound card, the 200 ms hand-over included; median and worst of ten.
void BM_RenderedPassEndToReplay(benchmark::State& state) {
  HeardCard heardCard;
  Environment environment;
  environment.bind();
  EngineRunner& runner = engineRunner();
  if (runner.init(QStringLiteral(KELVOR_ENGINE_PATH)) != 1) {
    state.SkipWithError("the engine did not load");
    return;
  }
  runner.registerCallBack(&timedPassEnd);
  writeSparseWave(environment.home.filePath(QStringLiteral("temp.wav")), 10);
  ProgramState& program = programState();
  program.gvRealtime = false;
  program.gvSoundQuality = 3;
  frmMain& main = *environment.main;
  main.changeToMode(QStringLiteral("SlowPlay"));
  main.state().slowDownPercent = 50;
  bool heard = true;
  for (auto _ : state) {
    heardCard.sink->heard = false;
    passEndedAt = 0;
    program.gvSlowedFileReady = false;
    environment.loops->btnLoopPlay_Click();
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!heardCard.sink->heard && std::chrono::steady_clock::now() < giveUp) {
      QCoreApplication::processEvents();
      std::this_thread::yield();
    }
    const auto heardAt = std::chrono::steady_clock::now().time_since_epoch().count();
    heard = heard && heardCard.sink->heard && passEndedAt != 0;
    state.SetIterationTime(
        std::chrono::duration<double>(std::chrono::steady_clock::duration(heardAt - passEndedAt)).count());
    main.WaveControl->setWait(true);
    main.WaveControl->setCommand(QStringLiteral("Stop"));
    program.gvPlayState.setState(false);
  }
  runner.cleanUp();
  if (!heard) state.SkipWithError("the slowed loop was not heard");
}
BENCHMARK(BM_RenderedPassEndToReplay)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(10)
    ->ComputeStatistics("max",
                        [](const std::vector<double>& times) { return *std::max_element(times.begin(), times.end()); });

}  // namespace
