// The program's start-up, in-process on the offscreen platform and the null sound card: from the
// start function until the main window is shown and start-up is over (its 200 ms timer included),
// then out through the exit path. A first start copies the shipped files into an empty program
// folder; a later start finds them there.
#include "app/exitprogram.h"
#include "app/frmHint.h"
#include "app/programstate.h"
#include "mainwindow/frmMain.h"
#include "platform/forms/formregistry.h"
#include "platform/forms/prompts.h"
#include "platform/forms/scriptedprompts.h"
#include "program/startlentaro.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace lentaro;

// Leaves the event loop instead of ending the process.
class LoopEnd : public ProcessEnd {
 public:
  void endProcess() override { QCoreApplication::exit(0); }
};

// Starts the program once in `home` and returns once it is up and has left again.
void startOnce(const QString& home) {
  qputenv("LENTARO_HOME", home.toUtf8());
  programState() = {};
  // The person: goes on past the tutorial hint, and leaves once the window is up.
  QTimer person;
  person.setInterval(1);
  QObject::connect(&person, &QTimer::timeout, [] {
    if (auto* hint = dynamic_cast<frmHint*>(QApplication::activeModalWidget())) hint->cmdOK->click();
    QWidget* main = forms::loadedFormOf<frmMain>();
    if (main && !main->isHidden() && !programState().gvStartingUp) exitProgram();
  });
  person.start();
  int argc = 1;
  char name[] = "lentaro";
  char* argv[] = {name, nullptr};
  startLentaro(argc, argv);
}

struct Environment {
  QTemporaryDir registry;
  forms::ScriptedPrompts scripted;
  LoopEnd loopEnd;
  ScopedOverride<forms::PromptService> promptsInPlace{forms::prompts, scripted};
  ScopedOverride<ProcessEnd> endInPlace{processEnd, loopEnd};
  Environment() { qputenv("LENTARO_REGISTRY_DIR", registry.path().toUtf8()); }
};

void BM_FirstStart(benchmark::State& state) {
  Environment environment;
  for (auto _ : state) {
    state.PauseTiming();
    auto home = std::make_unique<QTemporaryDir>();
    state.ResumeTiming();
    startOnce(home->path());
    state.PauseTiming();
    home.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FirstStart)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LaterStart(benchmark::State& state) {
  Environment environment;
  QTemporaryDir home;
  startOnce(home.path());
  for (auto _ : state) startOnce(home.path());
}
BENCHMARK(BM_LaterStart)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
