// A stand-in for the time-scale engine: records what each pass received, runs
// each pass as scripted and returns the scripted result. A stopped pass given an
// output path writes its result there, as a stopped real pass finishes its file.

#include "tests/player/mock_engine.h"
#include "engine/kelvor.h"
#include "tests/player/hang_limit.h"

#include <condition_variable>
#include <fstream>
#include <list>
#include <map>
#include <mutex>
#include <string>

namespace {

struct Script {
  MockPassMode mode = MockPassMode::FinishAtOnce;
  int32_t result = 0;
};

struct RunningPass {
  std::string input;
  bool stopped = false;
  bool released = false;
};

struct Engine {
  std::mutex mutex;
  std::condition_variable changed;
  std::map<std::string, Script> scripts;
  std::vector<MockPass> passes;
  std::list<RunningPass*> running;
  int32_t stopResult = 0;
  int stopCalls = 0;
  bool registrationHeld = false;
};

Engine engine;

std::optional<std::string> copyOf(const char* text) { return text ? std::optional<std::string>(text) : std::nullopt; }

void reset() {
  std::lock_guard<std::mutex> lock(engine.mutex);
  engine.scripts.clear();
  engine.passes.clear();
  engine.stopResult = 0;
  engine.stopCalls = 0;
  engine.registrationHeld = false;
  engine.changed.notify_all();
}

void script(const char* inputPath, MockPassMode mode, int32_t result) {
  std::lock_guard<std::mutex> lock(engine.mutex);
  engine.scripts[inputPath] = Script{mode, result};
}

void setStopResult(int32_t result) {
  std::lock_guard<std::mutex> lock(engine.mutex);
  engine.stopResult = result;
}

void release(const char* inputPath) {
  {
    std::lock_guard<std::mutex> lock(engine.mutex);
    for (RunningPass* pass : engine.running) {
      if (pass->input == inputPath) pass->released = true;
    }
  }
  engine.changed.notify_all();
}

void waitForRunning(int count) {
  std::unique_lock<std::mutex> lock(engine.mutex);
  waitOrThrow(
      engine.changed, lock, [&] { return static_cast<int>(engine.running.size()) >= count; },
      std::to_string(count) + " running passes");
}

std::vector<MockPass> passes() {
  std::lock_guard<std::mutex> lock(engine.mutex);
  return engine.passes;
}

int stopCalls() {
  std::lock_guard<std::mutex> lock(engine.mutex);
  return engine.stopCalls;
}

void holdRegistration(bool held) {
  {
    std::lock_guard<std::mutex> lock(engine.mutex);
    engine.registrationHeld = held;
  }
  engine.changed.notify_all();
}

int countOf(MockEvent event) {
  switch (event) {
    case MockEvent::Arrived:
      return static_cast<int>(engine.passes.size());
    case MockEvent::Running:
      return static_cast<int>(engine.running.size());
    case MockEvent::StopCalls:
      return engine.stopCalls;
  }
  return 0;
}

bool waitFor(MockEvent event, int count, std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(engine.mutex);
  return engine.changed.wait_for(lock, limit, [&] { return countOf(event) >= count; });
}

const MockEngineControl control{reset,  script,    setStopResult,    release, waitForRunning,
                                passes, stopCalls, holdRegistration, waitFor};

}  // namespace

extern "C" const MockEngineControl* mockEngineControl() { return &control; }

extern "C" int32_t kv_TimeScale(const char* inputPath, double pitchFactor, double timeFactor, int16_t fftSize,
                                int16_t windowMode, const char* outputPath, int16_t playFlag, int16_t channelChoice) {
  std::unique_lock<std::mutex> lock(engine.mutex);
  engine.passes.push_back(MockPass{copyOf(inputPath), pitchFactor, timeFactor, fftSize, windowMode, copyOf(outputPath),
                                   playFlag, channelChoice});
  const std::string input = inputPath ? inputPath : "";
  const auto scripted = engine.scripts.find(input);
  const Script script = scripted == engine.scripts.end() ? Script{} : scripted->second;

  engine.changed.notify_all();
  engine.changed.wait(lock, [] { return !engine.registrationHeld; });

  RunningPass pass{input};
  engine.running.push_back(&pass);
  engine.changed.notify_all();
  if (script.mode == MockPassMode::RunUntilStopped)
    engine.changed.wait(lock, [&] { return pass.stopped || pass.released; });
  else if (script.mode == MockPassMode::RunUntilReleased)
    engine.changed.wait(lock, [&] { return pass.released; });
  engine.running.remove(&pass);
  lock.unlock();

  if (pass.stopped && outputPath) std::ofstream(outputPath) << script.result << '\n';
  return script.result;
}

extern "C" int32_t kv_StopTimeScale(void) {
  std::lock_guard<std::mutex> lock(engine.mutex);
  ++engine.stopCalls;
  for (RunningPass* pass : engine.running) pass->stopped = true;
  engine.changed.notify_all();
  return engine.stopResult;
}
