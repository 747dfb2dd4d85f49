// Feeds arbitrary bytes to the reader as a file whose type is found from its contents.
#include "tests/soundfile/fuzz/read_all.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  kvfuzz::openAndReadAll(data, size, kv::kFileTypeDetect);
  kvfuzz::openAndReadAll(data, size, kv::kFileTypeWav);  // also files too short for detection
  return 0;
}
