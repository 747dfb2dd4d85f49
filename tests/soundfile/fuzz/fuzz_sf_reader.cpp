// Feeds arbitrary bytes to the reader as an IRCAM soundfile.
#include "tests/soundfile/fuzz/read_all.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  kvfuzz::openAndReadAll(data, size, kv::kFileTypeSf);
  return 0;
}
