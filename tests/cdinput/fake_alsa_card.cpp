#include "tests/cdinput/fake_alsa_card.h"

#include <alsa/asoundlib.h>
#include <alsa/control_external.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <utility>

// A software sound card for ALSA's external control plugin interface, so the ALSA mixer code
// runs against the real simple-mixer layer on machines without a sound card.

namespace kv::test {
namespace {

std::vector<FakeControl>& card() {
  static std::vector<FakeControl> controls;
  return controls;
}

FakeControl* control(snd_ctl_ext_key_t key) { return key < card().size() ? &card()[key] : nullptr; }

int countElements(snd_ctl_ext_t*) { return int(card().size()); }

int listElement(snd_ctl_ext_t*, unsigned int offset, snd_ctl_elem_id_t* id) {
  const FakeControl* c = control(offset);
  if (!c) return -EINVAL;
  snd_ctl_elem_id_set_interface(id, SND_CTL_ELEM_IFACE_MIXER);
  snd_ctl_elem_id_set_name(id, c->name.c_str());
  return 0;
}

snd_ctl_ext_key_t findElement(snd_ctl_ext_t*, const snd_ctl_elem_id_t* id) {
  const unsigned int numid = snd_ctl_elem_id_get_numid(id);
  if (numid > 0 && numid <= card().size()) return numid - 1;
  for (std::size_t key = 0; key < card().size(); ++key)
    if (card()[key].name == snd_ctl_elem_id_get_name(id)) return key;
  return SND_CTL_EXT_KEY_NOT_FOUND;
}

int getAttribute(snd_ctl_ext_t*, snd_ctl_ext_key_t key, int* type, unsigned int* access, unsigned int* count) {
  const FakeControl* c = control(key);
  if (!c) return -ENOENT;
  *type = c->items.empty() ? SND_CTL_ELEM_TYPE_BOOLEAN : SND_CTL_ELEM_TYPE_ENUMERATED;
  *access = SND_CTL_EXT_ACCESS_READWRITE;
  *count = unsigned(c->values.size());
  return 0;
}

int getEnumeratedInfo(snd_ctl_ext_t*, snd_ctl_ext_key_t key, unsigned int* items) {
  const FakeControl* c = control(key);
  if (!c) return -ENOENT;
  *items = unsigned(c->items.size());
  return 0;
}

int getEnumeratedName(snd_ctl_ext_t*, snd_ctl_ext_key_t key, unsigned int item, char* name, size_t size) {
  const FakeControl* c = control(key);
  if (!c || item >= c->items.size()) return -EINVAL;
  std::snprintf(name, size, "%s", c->items[item].c_str());
  return 0;
}

template <typename T>
int readValues(snd_ctl_ext_key_t key, T* values) {
  const FakeControl* c = control(key);
  if (!c) return -ENOENT;
  for (std::size_t channel = 0; channel < c->values.size(); ++channel) values[channel] = T(c->values[channel]);
  return 0;
}

template <typename T>
int writeValues(snd_ctl_ext_key_t key, const T* values) {
  FakeControl* c = control(key);
  if (!c) return -ENOENT;
  if (c->rejectsWrites) return -EIO;
  bool changed = false;
  for (std::size_t channel = 0; channel < c->values.size(); ++channel) {
    changed = changed || c->values[channel] != long(values[channel]);
    c->values[channel] = long(values[channel]);
  }
  return changed ? 1 : 0;
}

int readInteger(snd_ctl_ext_t*, snd_ctl_ext_key_t key, long* values) { return readValues(key, values); }

int readEnumerated(snd_ctl_ext_t*, snd_ctl_ext_key_t key, unsigned int* items) { return readValues(key, items); }

int writeInteger(snd_ctl_ext_t*, snd_ctl_ext_key_t key, long* values) { return writeValues(key, values); }

int writeEnumerated(snd_ctl_ext_t*, snd_ctl_ext_key_t key, unsigned int* items) { return writeValues(key, items); }

void closeCard(snd_ctl_ext_t* ext) { delete ext; }

snd_ctl_ext_callback_t makeCallbacks() {
  snd_ctl_ext_callback_t callbacks{};
  callbacks.close = closeCard;
  callbacks.elem_count = countElements;
  callbacks.elem_list = listElement;
  callbacks.find_elem = findElement;
  callbacks.get_attribute = getAttribute;
  callbacks.get_enumerated_info = getEnumeratedInfo;
  callbacks.get_enumerated_name = getEnumeratedName;
  callbacks.read_integer = readInteger;
  callbacks.read_enumerated = readEnumerated;
  callbacks.write_integer = writeInteger;
  callbacks.write_enumerated = writeEnumerated;
  return callbacks;
}

const snd_ctl_ext_callback_t callbacks = makeCallbacks();

void copyText(char* to, std::size_t size, const char* text) { std::snprintf(to, size, "%s", text); }

}  // namespace

void setFakeCard(std::vector<FakeControl> controls) { card() = std::move(controls); }

std::vector<long> fakeValues(const std::string& name) {
  for (const FakeControl& c : card())
    if (c.name == name) return c.values;
  return {};
}

}  // namespace kv::test

extern "C" {

SND_CTL_PLUGIN_DEFINE_FUNC(lentaro_fake) {
  (void)root;
  (void)conf;
  auto* ext = new snd_ctl_ext_t{};
  ext->version = SND_CTL_EXT_VERSION;
  ext->card_idx = 0;
  kv::test::copyText(ext->id, sizeof ext->id, "LentaroFake");
  kv::test::copyText(ext->driver, sizeof ext->driver, "Fake");
  kv::test::copyText(ext->name, sizeof ext->name, "Lentaro fake card");
  kv::test::copyText(ext->longname, sizeof ext->longname, "Lentaro fake card for tests");
  kv::test::copyText(ext->mixername, sizeof ext->mixername, "Lentaro fake mixer");
  ext->poll_fd = -1;
  ext->callback = &kv::test::callbacks;
  if (const int err = snd_ctl_ext_create(ext, name, mode); err < 0) {
    delete ext;
    return err;
  }
  *handlep = ext->handle;
  return 0;
}

SND_CTL_PLUGIN_SYMBOL(lentaro_fake)
}
