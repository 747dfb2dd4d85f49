#include "cdinput/AlsaMixer.h"

#include <cerrno>
#include <cstddef>
#include <utility>

namespace kv {

AlsaMixer::AlsaMixer(std::vector<std::string> devices) : m_devices(std::move(devices)) {}

int32_t AlsaMixer::open() {
  m_mixer.reset();
  m_selector = {};
  m_switches.clear();
  int32_t result = -ENODEV;
  for (const std::string& device : m_devices) {
    result = openDevice(device);
    if (result == 0) break;
  }
  return result;
}

int32_t AlsaMixer::openDevice(const std::string& device) {
  snd_mixer_t* handle = nullptr;
  if (const int err = snd_mixer_open(&handle, 0); err < 0) return err;
  std::unique_ptr<snd_mixer_t, int (*)(snd_mixer_t*)> mixer(handle, snd_mixer_close);
  int err = snd_mixer_attach(handle, device.c_str());
  if (err >= 0) err = snd_mixer_selem_register(handle, nullptr, nullptr);
  if (err >= 0) err = snd_mixer_load(handle);
  if (err < 0) return err;
  m_mixer = std::move(mixer);
  return 0;
}

int32_t AlsaMixer::listItems(SourceList list, std::vector<SourceItem>& items) {
  items.clear();
  if (!m_mixer) return -EBADFD;
  return list == SourceList::SingleSelect ? listSelector(items) : listSwitches(items);
}

int32_t AlsaMixer::listSelector(std::vector<SourceItem>& items) {
  m_selector = {};
  for (snd_mixer_elem_t* element = snd_mixer_first_elem(m_mixer.get()); element;
       element = snd_mixer_elem_next(element)) {
    if (!snd_mixer_selem_is_active(element) || !snd_mixer_selem_is_enum_capture(element)) continue;
    const int itemCount = snd_mixer_selem_get_enum_items(element);
    if (itemCount < 0) return itemCount;
    if (itemCount == 0) continue;

    // An enumerated element reports no channel count; it has the channels it can be read on.
    std::vector<unsigned> selected;
    for (int channel = 0; channel <= SND_MIXER_SCHN_LAST; ++channel) {
      unsigned item = 0;
      const int err = snd_mixer_selem_get_enum_item(element, snd_mixer_selem_channel_id_t(channel), &item);
      if (err < 0) {
        if (channel == 0) return err;
        break;
      }
      selected.push_back(item);
    }

    std::vector<SourceItem> listed;
    for (unsigned index = 0; index < unsigned(itemCount); ++index) {
      char name[65] = {};  // item names are at most 64 bytes; this keeps the terminating zero
      if (const int err = snd_mixer_selem_get_enum_item_name(element, index, sizeof name - 1, name); err < 0)
        return err;
      SourceItem item{name, {}};
      for (const unsigned on : selected) item.channels.push_back(on == index);
      listed.push_back(std::move(item));
    }
    m_selector = {element, unsigned(itemCount), unsigned(selected.size())};
    items = std::move(listed);
    return 0;
  }
  return 0;
}

int32_t AlsaMixer::listSwitches(std::vector<SourceItem>& items) {
  m_switches.clear();
  std::vector<CaptureSwitch> switches;
  std::vector<SourceItem> listed;
  for (snd_mixer_elem_t* element = snd_mixer_first_elem(m_mixer.get()); element;
       element = snd_mixer_elem_next(element)) {
    if (!snd_mixer_selem_is_active(element) || !snd_mixer_selem_has_capture_switch(element)) continue;

    CaptureSwitch captureSwitch{element, {}};
    if (snd_mixer_selem_has_capture_switch_joined(element)) {
      captureSwitch.channels.push_back(SND_MIXER_SCHN_MONO);
    } else {
      for (int channel = 0; channel <= SND_MIXER_SCHN_LAST; ++channel)
        if (snd_mixer_selem_has_capture_channel(element, snd_mixer_selem_channel_id_t(channel)))
          captureSwitch.channels.push_back(snd_mixer_selem_channel_id_t(channel));
    }
    if (captureSwitch.channels.empty()) continue;

    SourceItem item{snd_mixer_selem_get_name(element), {}};
    for (const snd_mixer_selem_channel_id_t channel : captureSwitch.channels) {
      int on = 0;
      if (const int err = snd_mixer_selem_get_capture_switch(element, channel, &on); err < 0) return err;
      item.channels.push_back(on != 0);
    }
    listed.push_back(std::move(item));
    switches.push_back(std::move(captureSwitch));
  }
  m_switches = std::move(switches);
  items = std::move(listed);
  return 0;
}

int32_t AlsaMixer::setItems(SourceList list, const std::vector<SourceItem>& items) {
  if (!m_mixer) return -EBADFD;
  return list == SourceList::SingleSelect ? writeSelector(items) : writeSwitches(items);
}

int32_t AlsaMixer::writeSelector(const std::vector<SourceItem>& items) {
  if (!m_selector.element || items.size() != m_selector.itemCount) return -EINVAL;
  for (const SourceItem& item : items)
    if (item.channels.size() != m_selector.channelCount) return -EINVAL;

  // Each channel gets the first item that is on there; a channel with none cannot be written.
  std::vector<unsigned> wanted(m_selector.channelCount);
  for (unsigned channel = 0; channel < m_selector.channelCount; ++channel) {
    unsigned index = 0;
    while (index < items.size() && !items[index].channels[channel]) ++index;
    if (index == items.size()) return -EINVAL;
    wanted[channel] = index;
  }

  for (unsigned channel = 0; channel < m_selector.channelCount; ++channel)
    if (const int err =
            snd_mixer_selem_set_enum_item(m_selector.element, snd_mixer_selem_channel_id_t(channel), wanted[channel]);
        err < 0)
      return err;
  return 0;
}

int32_t AlsaMixer::writeSwitches(const std::vector<SourceItem>& items) {
  if (items.size() != m_switches.size()) return -EINVAL;
  for (std::size_t index = 0; index < items.size(); ++index)
    if (items[index].channels.size() != m_switches[index].channels.size()) return -EINVAL;

  for (std::size_t index = 0; index < items.size(); ++index) {
    const CaptureSwitch& captureSwitch = m_switches[index];
    for (std::size_t channel = 0; channel < captureSwitch.channels.size(); ++channel)
      if (const int err = snd_mixer_selem_set_capture_switch(captureSwitch.element, captureSwitch.channels[channel],
                                                             items[index].channels[channel] ? 1 : 0);
          err < 0)
        return err;
  }
  return 0;
}

}  // namespace kv
