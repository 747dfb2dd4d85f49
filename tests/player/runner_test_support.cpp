#include "tests/player/runner_test_support.h"

#include <dlfcn.h>
#include <unistd.h>

#include <condition_variable>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <string>
#include <utility>

namespace {

std::mutex boxMutex;
std::vector<ShownBox> shownBoxes;

std::mutex callBackMutex;
std::condition_variable callBackCame;
std::vector<CallBack> callBacks;

// Polls until done() holds or kHangLimit has passed.
template <typename Done>
void pollUntil(Done done) {
  const auto deadline = std::chrono::steady_clock::now() + kHangLimit;
  while (!done() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

}  // namespace

// Found by the runner with dlsym(RTLD_DEFAULT): the test programs export it.
extern "C" void lentaroHostMessageBox(const char* text, const char* caption) {
  std::lock_guard<std::mutex> lock(boxMutex);
  shownBoxes.push_back({text, caption});
}

std::vector<ShownBox> takeShownBoxes() {
  std::lock_guard<std::mutex> lock(boxMutex);
  return std::exchange(shownBoxes, {});
}

ShownBox runnerBox(const std::string& text) { return {text, "KVPlayFile Error"}; }

void CallBackLog::record(int32_t result) {
  {
    std::lock_guard<std::mutex> lock(callBackMutex);
    callBacks.push_back({result, std::this_thread::get_id()});
  }
  callBackCame.notify_all();
}

void CallBackLog::clear() {
  std::lock_guard<std::mutex> lock(callBackMutex);
  callBacks.clear();
}

std::vector<CallBack> CallBackLog::all() {
  std::lock_guard<std::mutex> lock(callBackMutex);
  return callBacks;
}

std::vector<CallBack> CallBackLog::waitFor(std::size_t count) {
  std::unique_lock<std::mutex> lock(callBackMutex);
  waitOrThrow(
      callBackCame, lock, [&] { return callBacks.size() >= count; }, std::to_string(count) + " callbacks");
  return callBacks;
}

std::vector<CallBack> CallBackLog::waitFor(std::size_t count, std::chrono::milliseconds limit) {
  std::unique_lock<std::mutex> lock(callBackMutex);
  callBackCame.wait_for(lock, limit, [&] { return callBacks.size() >= count; });
  return callBacks;
}

MockEngine::MockEngine(const char* path) : handle_(dlopen(path, RTLD_NOW | RTLD_NOLOAD)) {
  if (!handle_) return;
  using Control = decltype(&mockEngineControl);
  if (const auto control = reinterpret_cast<Control>(dlsym(handle_, "mockEngineControl"))) control_ = control();
}

MockEngine::~MockEngine() { dropReference(); }

void MockEngine::dropReference() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
}

bool MockEngine::loaded(const char* path) {
  void* const handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle != nullptr;
}

int threadCount() {
  const std::filesystem::directory_iterator tasks("/proc/self/task");
  return static_cast<int>(std::distance(begin(tasks), end(tasks)));
}

int threadBaseline() {
  pid_t first = 0;
  std::thread([&] { first = gettid(); }).join();
  const std::string task = "/proc/self/task/" + std::to_string(first);
  std::error_code error;
  pollUntil([&] { return !std::filesystem::exists(task, error); });
  return threadCount();
}

int waitForThreadCount(int count) {
  pollUntil([&] { return threadCount() == count; });
  return threadCount();
}
