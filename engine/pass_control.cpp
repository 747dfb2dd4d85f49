#include "engine/pass_control.h"

#include "engine/result_codes.h"

namespace kv {

bool PassControl::begin(SoundStream& stream) {
  std::unique_lock<std::timed_mutex> held(lock_, lockWait_);
  if (!held) return false;
  current_ = &stream;
  stream.setStopFlag(0);
  return true;
}

bool PassControl::end(const SoundStream& stream) {
  std::unique_lock<std::timed_mutex> held(lock_, lockWait_);
  if (!held) return false;
  if (current_ == &stream) current_ = nullptr;
  return true;
}

int32_t PassControl::stop() {
  std::unique_lock<std::timed_mutex> held(lock_, lockWait_);
  if (!held) return kCannotOpen;
  if (current_) current_->setStopFlag(1);
  return kOk;
}

}  // namespace kv
