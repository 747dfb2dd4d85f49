#pragma once

#include "cdinput/Mixer.h"

#include <alsa/asoundlib.h>

#include <memory>
#include <string>
#include <vector>

namespace kv {

// The simple mixer of an ALSA control device.
//
// Its single-select list is the items of the first enumerated capture element (such as
// "Input Source"), with that element's channels. Its multi-select list is the elements with a
// capture switch, each one source named after its element, with the switch's channels (one
// when the switch is joined). Inactive elements are left out.
//
// The simple mixer turns a "Capture Source" enumeration into exclusive capture switches of
// elements named after its items, where switching one on selects it. That is safe here because
// the simple mixer writes a switch only when its value changes: the sources left as listed are
// not written again, so they cannot take the selection back.
class AlsaMixer final : public Mixer {
 public:
  // open() tries the devices in order and keeps the first that opens.
  explicit AlsaMixer(std::vector<std::string> devices = {"default", "hw:0"});

  // The error of the last device tried when none opens.
  int32_t open() override;
  int32_t listItems(SourceList list, std::vector<SourceItem>& items) override;
  int32_t setItems(SourceList list, const std::vector<SourceItem>& items) override;

 private:
  // What setItems needs of the last listing to write a list back.
  struct SourceSelector {
    snd_mixer_elem_t* element = nullptr;
    unsigned itemCount = 0;
    unsigned channelCount = 0;
  };

  struct CaptureSwitch {
    snd_mixer_elem_t* element = nullptr;
    std::vector<snd_mixer_selem_channel_id_t> channels;
  };

  int32_t openDevice(const std::string& device);
  int32_t listSelector(std::vector<SourceItem>& items);
  int32_t listSwitches(std::vector<SourceItem>& items);
  int32_t writeSelector(const std::vector<SourceItem>& items);
  int32_t writeSwitches(const std::vector<SourceItem>& items);

  std::vector<std::string> m_devices;
  std::unique_ptr<snd_mixer_t, int (*)(snd_mixer_t*)> m_mixer{nullptr, snd_mixer_close};
  SourceSelector m_selector;
  std::vector<CaptureSwitch> m_switches;
};

}  // namespace kv
