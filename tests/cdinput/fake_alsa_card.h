#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kv::test {

// One control of the fake sound card, with one value per channel.
struct FakeControl {
  std::string name;
  std::vector<long> values;
  std::vector<std::string> items;  // the items of an enumerated control; empty for a switch
  bool rejectsWrites = false;      // a write fails with -EIO
};

inline FakeControl fakeSwitch(std::string name, std::vector<long> values) {
  return FakeControl{std::move(name), std::move(values), {}, false};
}

inline FakeControl fakeEnumeration(std::string name, std::vector<long> values, std::vector<std::string> items) {
  return FakeControl{std::move(name), std::move(values), std::move(items), false};
}

inline FakeControl rejectingWrites(FakeControl control) {
  control.rejectsWrites = true;
  return control;
}

// The controls the ALSA control plugin "lentaro_fake" (this library) shows in this process;
// every control device opened through the plugin shares them.
void setFakeCard(std::vector<FakeControl> controls);

// The current values of the fake card's control of that name; empty when it has none.
std::vector<long> fakeValues(const std::string& name);

}  // namespace kv::test
