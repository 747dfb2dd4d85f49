#include "player/pass_runner.h"

#include "player/error_box.h"
#include "player/wait_clock.h"
#include "soundfile/guarded_call.h"
#include "soundfile/result_codes.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <utility>

namespace kv {

namespace {

constexpr char kNoEntriesText[] = "Unable to find function addresses";
constexpr char kMustInitText[] = "KVPlayFileInit must be called first";
constexpr char kNoMemoryText[] = "Memory allocation error";
constexpr char kNoThreadText[] = "Error creating thread";

// While a pass asked to stop is inside the engine the stop is repeated this often: the runner
// cannot see whether the pass's call has got far enough for the engine's stop to reach it. Well
// under one analysis hop of a pass that plays.
constexpr std::chrono::milliseconds kStopRepeat{2};

// Set on a worker thread while it runs the program's callback, so that the
// callback may call back into the runner without waiting for itself.
thread_local bool tl_inCallBack = false;

}  // namespace

PassRunner& PassRunner::instance() {
  // Never destroyed: a pass still inside the engine at exit goes on using it.
  static PassRunner* const runner = new PassRunner;
  return *runner;
}

int32_t PassRunner::init(const char* engineLibraryName) {
  const std::string name = engineLibraryName ? engineLibraryName : "";
  std::unique_lock<std::mutex> lock(mutex_);
  // A working engine gives way only to another that works: a failed Init leaves it in place.
  const bool working = ready_ && timeScale_ != nullptr;
  if (!working) {
    ready_ = false;
    releaseEngine(lock, StoppedPasses::Silenced);
  }

  // dlopen takes an empty name for the program itself, which is no engine.
  void* const module = name.empty() ? nullptr : dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    lock.unlock();
    showErrorBox(("Unable to load " + name).c_str());
    return 0;
  }
  // Registered after the engine's own exit handlers, so it runs before them.
  std::atexit(&PassRunner::shutDownAtExit);

  const auto timeScale = reinterpret_cast<TimeScaleEntry>(dlsym(module, "kv_TimeScale"));
  const auto stopTimeScale = reinterpret_cast<StopEntry>(dlsym(module, "kv_StopTimeScale"));
  if (!timeScale || !stopTimeScale) {
    if (working) {
      dlclose(module);
    } else {
      // The module stays loaded: a stop entry that was found still serves stop().
      module_ = module;
      stopTimeScale_ = stopTimeScale;
    }
    lock.unlock();
    showErrorBox(kNoEntriesText);
    return 0;
  }
  if (working) {
    // The old engine's passes could not be stopped through the new engine's stop entry:
    // they are stopped now, report as usual, and the old library goes once none is inside it.
    releaseEngine(lock, StoppedPasses::Reported);
  }
  // A module that releaseEngine had to keep (a pass still inside it) keeps its
  // reference for good; it must not be unloaded under that pass.
  module_ = module;
  timeScale_ = timeScale;
  stopTimeScale_ = stopTimeScale;
  ready_ = true;
  return 1;
}

void PassRunner::registerCallBack(PlayFileCallBack callBack) {
  // A worker takes the callback under the lock as its pass ends, so every pass that ends from
  // here on reports to this one. A report already under way is not waited for: the caller is
  // the user-interface thread, which must not stall behind it.
  std::lock_guard<std::mutex> lock(mutex_);
  callBack_ = callBack;
}

int32_t PassRunner::start(const char* inputPath, double pitchFactor, double timeFactor, int16_t fftSize,
                          int16_t windowMode, const char* outputPath, int32_t playFlag, int16_t channelChoice) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (!ready_) {
    lock.unlock();
    showErrorBox(kMustInitText);
    return 0;
  }
  if (!timeScale_) return 0;  // the engine was released
  joinFinishedThreads();

  std::unique_ptr<PlayFileJob> job;
  std::list<Worker>::iterator worker;
  try {
    job = std::make_unique<PlayFileJob>();
    if (inputPath) job->inputPath = inputPath;
    job->pitchFactor = pitchFactor;
    job->timeFactor = timeFactor;
    job->fftSize = fftSize;
    job->windowMode = windowMode;
    if (outputPath) job->outputPath = outputPath;
    job->playFlag = static_cast<int16_t>(playFlag);  // the engine reads the low 16 bits
    job->channelChoice = channelChoice;
    worker = workers_.emplace(workers_.end());
  } catch (const std::bad_alloc&) {
    lock.unlock();
    showErrorBox(kNoMemoryText);
    return 0;
  }

  try {
    worker->thread = std::thread(&PassRunner::runPass, this, std::ref(*worker), std::move(job), timeScale_);
  } catch (const std::exception&) {
    workers_.erase(worker);
    lock.unlock();
    showErrorBox(kNoThreadText);
    return 0;
  }
  ++unfinishedWorkers_;
  // Counted from here, so the library cannot go before the worker is in it.
  ++callsInEngine_;
  return 1;
}

int32_t PassRunner::stop() {
  std::unique_lock<std::mutex> lock(mutex_);
  return askPassesToStop(lock);
}

int32_t PassRunner::cleanUp() {
  std::unique_lock<std::mutex> lock(mutex_);
  return releaseEngine(lock, StoppedPasses::Silenced) ? 1 : 0;
}

void PassRunner::runPass(Worker& worker, std::unique_ptr<PlayFileJob> job, TimeScaleEntry timeScale) {
  // A pass stopped before it reached the engine reports what one stopped at its first hop returns.
  int32_t result = kOk;
  if (enterEngine(worker)) {
    const char* const input = job->inputPath ? job->inputPath->c_str() : nullptr;
    const char* const output = job->outputPath.empty() ? nullptr : job->outputPath.c_str();
    result = timeScale(input, job->pitchFactor, job->timeFactor, job->fftSize, job->windowMode, output, job->playFlag,
                       job->channelChoice);
  }
  job.reset();

  PlayFileCallBack callBack = nullptr;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    worker.stage = Worker::Stage::AfterEngine;
    --callsInEngine_;
    if (!worker.silenced) callBack = callBack_;
  }
  changed_.notify_all();

  if (callBack) {
    tl_inCallBack = true;
    // The program's failure is the program's; the worker still ends cleanly.
    guardedCall([&] { callBack(result); });
    tl_inCallBack = false;
  }

  {
    std::lock_guard<std::mutex> guard(mutex_);
    worker.finished = true;
    --unfinishedWorkers_;
  }
  changed_.notify_all();
}

bool PassRunner::enterEngine(Worker& worker) {
  // The engine's stop reaches every pass inside it, so a pass goes in only once the stops meant
  // for earlier passes have ended; one asked to stop meanwhile never goes in.
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [&] { return worker.stopAsked || (!stopsPending() && stopCallsUnderWay_ == 0); });
  if (worker.stopAsked) return false;
  worker.stage = Worker::Stage::InEngine;
  return true;
}

bool PassRunner::releaseEngine(std::unique_lock<std::mutex>& lock, StoppedPasses stopped) {
  if (!module_) return false;
  timeScale_ = nullptr;
  stopPassesAndWait(lock, stopped);
  if (!module_) return false;  // another thread released it while this one waited
  if (callsInEngine_ > 0) {
    // The stop entry stays bound, so the pass can still be stopped and a later
    // clean-up can release the library once it has ended.
    std::fprintf(stderr,
                 "KVPlayFile: an engine pass did not end within %lld s; "
                 "the engine library stays loaded\n",
                 static_cast<long long>(kWorkerWait.count()));
    return false;
  }
  stopTimeScale_ = nullptr;
  const bool released = dlclose(module_) == 0;
  module_ = nullptr;
  return released;
}

void PassRunner::stopPassesAndWait(std::unique_lock<std::mutex>& lock, StoppedPasses stopped) {
  const bool silence = stopped == StoppedPasses::Silenced;
  if (silence) {
    for (Worker& worker : workers_) worker.silenced = true;
  }
  const int own = tl_inCallBack ? 1 : 0;
  if (unfinishedWorkers_ > own) askPassesToStop(lock);
  // Silenced workers are waited for to their end, so that no report is under way afterwards;
  // passes that report need only have left the engine.
  const auto settled = [&] { return callsInEngine_ == 0 && (!silence || unfinishedWorkers_ == own); };
  if (!waitUntilDone(changed_, lock, kWorkerWait, settled)) {
    for (Worker& worker : workers_) {
      if (worker.stage == Worker::Stage::InEngine) worker.stage = Worker::Stage::GivenUp;
    }
    changed_.notify_all();
  }
  // No stop is pending any more, so the repeater is ending.
  std::thread repeater = std::move(repeater_);
  lock.unlock();
  if (repeater.joinable()) repeater.join();
  lock.lock();
  joinFinishedThreads();
}

int32_t PassRunner::askPassesToStop(std::unique_lock<std::mutex>& lock) {
  // Every pass started so far is to end: one not yet in the engine never goes in, one inside gets
  // the engine's stop again and again until it has left.
  for (Worker& worker : workers_) {
    if (worker.stage == Worker::Stage::BeforeEngine || worker.stage == Worker::Stage::InEngine) {
      worker.stopAsked = true;
    }
  }
  changed_.notify_all();
  if (!stopTimeScale_) return 1;
  if (stopsPending() && !repeating_) {
    joinFinishedThreads();
    try {
      repeater_ = std::thread(&PassRunner::repeatStops, this);
      repeating_ = true;
    } catch (const std::exception&) {
      // The stop below is then the only one: a pass it comes too early for plays on.
    }
  }
  return callStop(lock, stopTimeScale_);
}

bool PassRunner::stopsPending() const {
  return std::any_of(workers_.begin(), workers_.end(),
                     [](const Worker& worker) { return worker.stopAsked && worker.stage == Worker::Stage::InEngine; });
}

void PassRunner::repeatStops() {
  std::unique_lock<std::mutex> lock(mutex_);
  // The stop entry is read each round: another engine may have taken over.
  while (!changed_.wait_for(lock, kStopRepeat, [&] { return !stopsPending(); }) && stopTimeScale_) {
    callStop(lock, stopTimeScale_);
  }
  repeating_ = false;
}

int32_t PassRunner::callStop(std::unique_lock<std::mutex>& lock, StopEntry stop) {
  ++callsInEngine_;
  ++stopCallsUnderWay_;
  lock.unlock();
  const int32_t result = stop();
  lock.lock();
  --stopCallsUnderWay_;
  --callsInEngine_;
  changed_.notify_all();
  return result;
}

void PassRunner::joinFinishedThreads() {
  // A finished worker, and the repeater once it has stopped repeating, has only to leave its
  // function, which takes no lock.
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (!it->finished) {
      ++it;
      continue;
    }
    if (it->thread.joinable()) it->thread.join();
    it = workers_.erase(it);
  }
  if (!repeating_ && repeater_.joinable()) repeater_.join();
}

void PassRunner::shutDown() {
  std::unique_lock<std::mutex> lock(mutex_);
  timeScale_ = nullptr;
  stopPassesAndWait(lock, StoppedPasses::Silenced);
  // A pass that would not stop ends with the process; its thread must not be
  // left joinable. The engine stays loaded under it.
  for (Worker& worker : workers_) {
    if (worker.thread.joinable()) worker.thread.detach();
  }
}

void PassRunner::shutDownAtExit() {
  // Nothing can be reported this late; the process ends either way.
  guardedCall([] { instance().shutDown(); });
}

}  // namespace kv
