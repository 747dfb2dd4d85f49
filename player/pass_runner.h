#pragma once

#include "engine/kelvor.h"
#include "player/pallomi.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace kv {

// The arguments of one engine pass, copied from the caller and owned by the
// pass's worker thread. Paths are held whole, whatever their length.
struct PlayFileJob {
  std::optional<std::string> inputPath;
  double pitchFactor = 0.0;
  double timeFactor = 0.0;
  int16_t fftSize = 0;
  int16_t windowMode = 0;
  std::string outputPath;  // empty: no output file
  int16_t playFlag = 0;
  int16_t channelChoice = 0;
};

// Loads an engine library, runs its passes on worker threads and reports each
// pass's end through the registered callback. One instance per process.
class PassRunner {
 public:
  static PassRunner& instance();

  int32_t init(const char* engineLibraryName);
  void registerCallBack(PlayFileCallBack callBack);
  int32_t start(const char* inputPath, double pitchFactor, double timeFactor, int16_t fftSize, int16_t windowMode,
                const char* outputPath, int32_t playFlag, int16_t channelChoice);
  int32_t stop();
  int32_t cleanUp();

 private:
  // How long releasing the engine waits for running passes to end, on the runner's wait clock.
  static constexpr std::chrono::seconds kWorkerWait{15};

  using TimeScaleEntry = decltype(&kv_TimeScale);
  using StopEntry = decltype(&kv_StopTimeScale);

  struct Worker {
    // Where the pass stands towards the engine. GivenUp: still inside, but a release stopped
    // waiting for it; it no longer holds back other passes or keeps the stop repeating.
    enum class Stage { BeforeEngine, InEngine, GivenUp, AfterEngine };

    std::thread thread;
    Stage stage = Stage::BeforeEngine;
    bool stopAsked = false;  // a stop came after the pass was started
    bool finished = false;
    bool silenced = false;  // the engine is being released: no report for this pass
  };

  // How the passes that releasing the engine stops end: unreported when the program is done
  // with the runner (clean-up, exit), reported as usual when another engine takes over.
  enum class StoppedPasses { Silenced, Reported };

  PassRunner() = default;

  void runPass(Worker& worker, std::unique_ptr<PlayFileJob> job, TimeScaleEntry timeScale);
  bool enterEngine(Worker& worker);
  bool releaseEngine(std::unique_lock<std::mutex>& lock, StoppedPasses stopped);
  void stopPassesAndWait(std::unique_lock<std::mutex>& lock, StoppedPasses stopped);
  int32_t askPassesToStop(std::unique_lock<std::mutex>& lock);
  bool stopsPending() const;
  void repeatStops();
  int32_t callStop(std::unique_lock<std::mutex>& lock, StopEntry stop);
  void joinFinishedThreads();
  void shutDown();
  static void shutDownAtExit();

  std::mutex mutex_;  // guards everything below
  std::condition_variable changed_;
  bool ready_ = false;
  PlayFileCallBack callBack_ = nullptr;
  void* module_ = nullptr;
  TimeScaleEntry timeScale_ = nullptr;
  StopEntry stopTimeScale_ = nullptr;
  std::list<Worker> workers_;  // list: a worker keeps its element while others come and go
  int unfinishedWorkers_ = 0;
  int callsInEngine_ = 0;      // threads inside an engine entry: the library must stay loaded
  int stopCallsUnderWay_ = 0;  // engine stops not yet returned: no pass goes in meanwhile
  std::thread repeater_;       // repeats the engine's stop while stopsPending()
  bool repeating_ = false;     // the repeater has not yet left its loop
};

}  // namespace kv
