#include "engine/pass_control.h"

#include <algorithm>
#include <mutex>

#include "soundfile/result_codes.h"

namespace kv {

bool PassControl::begin(SoundStream& stream, Arrival arrival) {
  std::unique_lock<TimedLock> held(lock_, lockWait_);
  if (!held) return false;
  running_.push_back(&stream);
  stream.setStopFlag(stops_ != arrival.stopsBefore ? 1 : 0);
  return true;
}

bool PassControl::end(const SoundStream& stream) {
  std::unique_lock<TimedLock> held(lock_, lockWait_);
  if (!held) return false;
  running_.erase(std::remove(running_.begin(), running_.end(), &stream), running_.end());
  return true;
}

int32_t PassControl::stop() {
  std::unique_lock<TimedLock> held(lock_, lockWait_);
  if (!held) return kCannotOpen;
  ++stops_;
  for (SoundStream* stream : running_) stream->setStopFlag(1);
  return kOk;
}

}  // namespace kv
