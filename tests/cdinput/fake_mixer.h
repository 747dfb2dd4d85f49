#pragma once

#include "cdinput/Mixer.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace kv {

inline bool operator==(const SourceItem& a, const SourceItem& b) {
  return a.name == b.name && a.channels == b.channels;
}

inline void PrintTo(const SourceItem& item, std::ostream* out) {
  *out << '"' << item.name << "\" [";
  for (const bool on : item.channels) *out << (on ? '1' : '0');
  *out << ']';
}

namespace test {

inline SourceItem source(std::string name, std::vector<bool> channels) {
  return SourceItem{std::move(name), std::move(channels)};
}

// A mixer made of two tables of sources, with failures to order.
class FakeMixer : public Mixer {
 public:
  std::vector<SourceItem> singleSelect;
  std::vector<SourceItem> multiSelect;

  int32_t openResult = 0;
  int32_t singleListResult = 0;
  int32_t multiListResult = 0;
  int32_t setResult = 0;

  int writes = 0;

  int32_t open() override {
    m_open = openResult == 0;
    return openResult;
  }

  int32_t listItems(SourceList list, std::vector<SourceItem>& items) override {
    EXPECT_TRUE(m_open) << "listed a mixer that is not open";
    const int32_t result = list == SourceList::SingleSelect ? singleListResult : multiListResult;
    items = result == 0 ? table(list) : std::vector<SourceItem>{};
    return result;
  }

  int32_t setItems(SourceList list, const std::vector<SourceItem>& items) override {
    EXPECT_TRUE(m_open) << "wrote to a mixer that is not open";
    ++writes;
    if (setResult != 0) return setResult;
    std::vector<SourceItem>& current = table(list);
    EXPECT_EQ(items.size(), current.size()) << "written list differs from the listed one";
    for (std::size_t i = 0; i < items.size() && i < current.size(); ++i) {
      EXPECT_EQ(items[i].name, current[i].name);
      EXPECT_EQ(items[i].channels.size(), current[i].channels.size()) << items[i].name;
    }
    current = items;
    return 0;
  }

 private:
  std::vector<SourceItem>& table(SourceList list) {
    return list == SourceList::SingleSelect ? singleSelect : multiSelect;
  }

  bool m_open = false;
};

}  // namespace test
}  // namespace kv
