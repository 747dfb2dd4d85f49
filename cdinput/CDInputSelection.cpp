#include "cdinput/CDInputSelection.h"

#include "cdinput/dunmarra.h"

#include <algorithm>
#include <cstddef>

namespace kv {
namespace {

bool equalIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

// Turns every channel of each CD source on; on a single-select list every other source goes
// off, as only one source per channel can be on there. False (and nothing changed) when no
// source is a CD.
bool markCDSources(SourceList list, std::vector<SourceItem>& items) {
  const bool anyCD =
      std::any_of(items.begin(), items.end(), [](const SourceItem& item) { return isCDSourceName(item.name); });
  if (!anyCD) return false;
  for (SourceItem& item : items) {
    const bool cd = isCDSourceName(item.name);
    if (cd || list == SourceList::SingleSelect) std::fill(item.channels.begin(), item.channels.end(), cd);
  }
  return true;
}

}  // namespace

bool isCDSourceName(std::string_view name) {
  return equalIgnoringAsciiCase(name, "CD") || equalIgnoringAsciiCase(name, "CD Audio");
}

int32_t selectCDInput(Mixer& mixer) {
  if (const int32_t opened = mixer.open(); opened != 0) return opened;

  SourceList list = SourceList::SingleSelect;
  std::vector<SourceItem> items;
  if (const int32_t listed = mixer.listItems(list, items); listed != 0) return listed;
  if (items.empty()) {
    list = SourceList::MultiSelect;
    if (const int32_t listed = mixer.listItems(list, items); listed != 0) return listed;
    if (items.empty()) return DUNMARRA_NO_SOURCE_LIST;
  }

  if (!markCDSources(list, items)) return DUNMARRA_NO_CD_SOURCE;
  return mixer.setItems(list, items);
}

}  // namespace kv
