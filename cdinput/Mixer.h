#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

// The two kinds of capture source list a mixer can offer.
enum class SourceList {
  SingleSelect,  // one source per channel: selecting one drops the others
  MultiSelect    // any number of sources at once, each switched on or off by itself
};

// One source of a list: its name and whether it is on, channel by channel. Sources of one
// list may have different channel counts; each has at least one channel.
struct SourceItem {
  std::string name;
  std::vector<bool> channels;
};

// A recording mixer as the CD input selection sees it. Results are 0 on success or a
// negative errno-style code.
class Mixer {
 public:
  virtual ~Mixer() = default;

  virtual int32_t open() = 0;

  // Lists the sources of one list with their current values; an empty list means the mixer
  // has no list of that kind.
  virtual int32_t listItems(SourceList list, std::vector<SourceItem>& items) = 0;

  // Writes new values for the sources last listed by listItems(list): the same sources in
  // the same order, each with its channel count.
  virtual int32_t setItems(SourceList list, const std::vector<SourceItem>& items) = 0;
};

}  // namespace kv
