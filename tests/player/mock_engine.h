#pragma once

// The control surface of the stand-in engine library the runner tests load in
// place of the real engine. Shared by the stand-in and the tests, which reach it
// through dlsym("mockEngineControl") on the library the runner has loaded.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class MockPassMode {
  FinishAtOnce,     // returns its result straight away
  RunUntilStopped,  // returns when stopped or released
  RunUntilReleased  // ignores stop requests; returns only when released
};

// What a test can wait for the stand-in to have seen.
enum class MockEvent {
  Arrived,   // kv_TimeScale calls made so far
  Running,   // passes running now, which a stop reaches
  StopCalls  // kv_StopTimeScale calls made so far
};

// What one kv_TimeScale call received.
struct MockPass {
  std::optional<std::string> inputPath;
  double pitchFactor;
  double timeFactor;
  int16_t fftSize;
  int16_t windowMode;
  std::optional<std::string> outputPath;
  int16_t playFlag;
  int16_t channelChoice;
};

struct MockEngineControl {
  void (*reset)();
  // How passes over that input run and what they return (unscripted: at once, 0).
  void (*script)(const char* inputPath, MockPassMode mode, int32_t result);
  void (*setStopResult)(int32_t result);
  // Ends the running passes over that input.
  void (*release)(const char* inputPath);
  // Blocks until that many passes are running at once; throws after kHangLimit.
  void (*waitForRunning)(int count);
  std::vector<MockPass> (*passes)();
  int (*stopCalls)();
  // While held, a pass that arrives waits before it becomes one that a stop reaches, as a real
  // pass does while it opens its input: a stop meanwhile misses it.
  void (*holdRegistration)(bool held);
  // Blocks until that event has come count times (or is, for Running), or limit has passed:
  // false then.
  bool (*waitFor)(MockEvent event, int count, std::chrono::milliseconds limit);
};

extern "C" const MockEngineControl* mockEngineControl();
