// Opening a wave file through File > Open until the "Wave" view shows it, in the started program
// on the offscreen platform and the null sound card: a one-second file beside a sparse one-hour
// 44.1 kHz stereo 16-bit file (about 635 MB), whose open must read its header only. The file is
// opened once before timing, so its database row exists and every timed open finds it; the
// resident memory the timed opens added is reported as rss_growth_MiB.
#include "app/exitprogram.h"
#include "app/frmHint.h"
#include "app/programstate.h"
#include "bench/sparse_wave.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/formregistry.h"
#include "platform/forms/prompts.h"
#include "platform/forms/scriptedprompts.h"
#include "platform/mci/MMControl.h"
#include "program/startlentaro.h"
#include "tests/support/named_control.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

namespace {

using namespace lentaro;
using lentaro::test::control;

// Leaves the event loop instead of ending the process.
class LoopEnd : public ProcessEnd {
 public:
  void endProcess() override { QCoreApplication::exit(0); }
};

// The resident memory of this process in KiB, from /proc/self/status.
long residentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

struct Environment {
  QTemporaryDir registry;
  QTemporaryDir home;
  QTemporaryDir music;
  forms::ScriptedPrompts scripted;
  LoopEnd loopEnd;
  ScopedOverride<forms::PromptService> promptsInPlace{forms::prompts, scripted};
  ScopedOverride<ProcessEnd> endInPlace{processEnd, loopEnd};
  Environment() {
    qputenv("LENTARO_REGISTRY_DIR", registry.path().toUtf8());
    qputenv("LENTARO_HOME", home.path().toUtf8());
  }
};

// Chooses the file in File > Open; true when the "Wave" view shows it.
bool openThroughMenu(frmMain& main, forms::ScriptedPrompts& scripted, const QString& path) {
  scripted.queueFile(path);
  control<QAction>(main, "mnuFileOpen")->trigger();
  return !main.state().cdView && control<mci::MMControl>(main, "WaveControl")->fileName() == path &&
         main.windowTitle() == QStringLiteral("Lentaro: ") + path;
}

void BM_OpenWaveFile(benchmark::State& state) {
  Environment environment;
  const QString path = environment.music.filePath(QStringLiteral("song.wav"));
  if (!writeSparseWave(path, state.range(0))) {
    state.SkipWithError("cannot write the wave file");
    return;
  }
  programState() = {};
  // The person: goes on past the tutorial hint and, once the window is up, opens the file over
  // and over, then leaves.
  QTimer person;
  person.setInterval(1);
  QObject::connect(&person, &QTimer::timeout, [&] {
    if (auto* hint = dynamic_cast<frmHint*>(QApplication::activeModalWidget())) hint->cmdOK->click();
    auto* main = forms::loadedFormOf<frmMain>();
    if (!main || main->isHidden() || programState().gvStartingUp) return;
    person.stop();
    if (!openThroughMenu(*main, environment.scripted, path)) {
      state.SkipWithError("the Wave view did not show the file");
    } else {
      const long before = residentKiB();
      bool shown = true;
      for (auto _ : state) shown = openThroughMenu(*main, environment.scripted, path) && shown;
      state.counters["rss_growth_MiB"] = static_cast<double>(residentKiB() - before) / 1024.0;
      if (!shown) state.SkipWithError("the Wave view did not show the file");
    }
    exitProgram();
  });
  person.start();
  int argc = 1;
  char name[] = "lentaro";
  char* argv[] = {name, nullptr};
  startLentaro(argc, argv);
}
BENCHMARK(BM_OpenWaveFile)->ArgName("seconds")->Arg(1)->Arg(3600)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
