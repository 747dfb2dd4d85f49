#pragma once
// What a sound stream holds. Format handlers work on this record; callers use SoundStream.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "soundfile/adpcm_decoding.h"
#include "soundfile/byte_file.h"
#include "soundfile/heap.h"
#include "soundfile/sample_format.h"

namespace kv {

struct FormatHandler;

enum StreamKind : int { kStreamMemory = 1, kStreamWriting = 2, kStreamReading = 4 };

struct StreamState {
  SampleFormat format;
  StreamKind kind = kStreamMemory;
  const FormatHandler* handler = nullptr;
  std::string handlerName;

  std::unique_ptr<ByteFile> file;
  int64_t dataOffset = 0;  // file position of the first sample

  // Memory streams: stored samples, either the stream's own (ownedBuffer, which can grow) or a
  // caller's (ownedBuffer stays empty).
  std::vector<uint8_t, HeapAllocator<uint8_t>> ownedBuffer;
  uint8_t* buffer = nullptr;
  int64_t capacity = 0;  // samples

  // Next sample to read (memory and read streams) or write (write streams), from the data start.
  int64_t position = 0;
  int64_t length = 0;  // samples, all channels counted
  // Read streams: the samples the header gives for the data, whole frames counted; -1 when it
  // gives none (an unfinished header) or the handler does not say.
  int64_t statedLength = -1;

  bool opened = false;  // set up without error; only then is a write stream's header finished
  int typeFound = -1;
  bool bigEndian = false;  // stored samples have their most significant byte first
  int32_t lastError = 0;
  // Why a handler refused a file, where the result code alone would not say ("it holds 7-bit
  // samples, ..."); empty otherwise.
  std::string problem;
  std::atomic<int32_t> stopFlag{0};

  // The handler's own area: the au handler's decoder of compressed data.
  AdpcmDecoding adpcm;
};

// Length of stored data in whole frames, counted in samples: a partial last frame cannot be used.
inline int64_t wholeFrameSamples(int64_t samples, int32_t channels) {
  if (samples <= 0 || channels < 1) return 0;
  return samples - samples % channels;
}

}  // namespace kv
