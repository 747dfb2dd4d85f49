#include "player/error_box.h"

#include "player/pallomi.h"
#include "soundfile/guarded_call.h"

#include <dlfcn.h>

#include <cstdio>

namespace kv {

namespace {
constexpr char kCaption[] = "KVPlayFile Error";
}

void showErrorBox(const char* text) noexcept {
  // Looked up at run time: the library has no GUI and must load in hosts that
  // show no boxes at all (tests, tools).
  using HostMessageBox = decltype(&lentaroHostMessageBox);
  const auto box = reinterpret_cast<HostMessageBox>(dlsym(RTLD_DEFAULT, "lentaroHostMessageBox"));
  if (!box) {
    std::fprintf(stderr, "%s: %s\n", kCaption, text);
    return;
  }
  // The host's box failing is no reason to take the runner down.
  guardedCall([&] { box(text, kCaption); });
}

}  // namespace kv
