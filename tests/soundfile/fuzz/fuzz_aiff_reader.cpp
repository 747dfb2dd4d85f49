// Feeds arbitrary bytes to the reader as an AIFF or AIFC file.
#include "tests/soundfile/fuzz/read_all.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  kvfuzz::openAndReadAll(data, size, kv::kFileTypeAiff);  // also files too short for detection
  kvfuzz::openAndReadAll(data, size, kv::kFileTypeDetect);
  return 0;
}
