#pragma once

// What the runner tests share: the boxes the runner showed, the callbacks it
// made, the stand-in engine it loaded and the process's thread count.

#include "tests/player/hang_limit.h"
#include "tests/player/mock_engine.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

struct ShownBox {
  std::string text;
  std::string caption;
  bool operator==(const ShownBox& other) const { return text == other.text && caption == other.caption; }
};

inline void PrintTo(const ShownBox& box, std::ostream* out) { *out << '"' << box.text << "\" (" << box.caption << ')'; }

// Boxes shown through lentaroHostMessageBox since the last call; forgets them.
std::vector<ShownBox> takeShownBoxes();

ShownBox runnerBox(const std::string& text);

struct CallBack {
  int32_t result;
  std::thread::id thread;
};

// Records every completion callback; record is the one the tests register.
class CallBackLog {
 public:
  static void record(int32_t result);
  static void clear();
  static std::vector<CallBack> all();
  // Blocks until at least count callbacks have come; throws after kHangLimit.
  static std::vector<CallBack> waitFor(std::size_t count);
  // The same, giving up after limit: fewer than count then came.
  static std::vector<CallBack> waitFor(std::size_t count, std::chrono::milliseconds limit);
};

// The control surface of a stand-in engine the runner has loaded, with a
// reference of its own that keeps the library loaded until dropReference().
class MockEngine {
 public:
  explicit MockEngine(const char* path = MOCK_ENGINE_PATH);
  ~MockEngine();
  MockEngine(const MockEngine&) = delete;
  MockEngine& operator=(const MockEngine&) = delete;

  bool bound() const { return control_ != nullptr; }
  const MockEngineControl* operator->() const { return control_; }
  // The control stays usable only while the runner keeps the library loaded.
  void dropReference();
  static bool loaded(const char* path = MOCK_ENGINE_PATH);

 private:
  void* handle_ = nullptr;
  const MockEngineControl* control_ = nullptr;
};

int threadCount();
// The thread count to compare later counts with, taken once a first thread has
// come and gone: ThreadSanitizer starts a thread of its own beside a program's
// first one, and it stays.
int threadBaseline();
// Blocks until the process has that many threads, at most kHangLimit; the count
// it has then. A worker that returned may linger in the kernel's task list for a
// moment.
int waitForThreadCount(int count);
