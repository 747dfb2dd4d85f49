#pragma once
// Sound file type codes, as streams report and take them.

namespace kv {

constexpr int kFileTypeDetect = -1;  // reading: let the contents decide
constexpr int kFileTypeAiff = 1;
constexpr int kFileTypeWav = 2;
constexpr int kFileTypeAu = 4;
constexpr int kFileTypeSf = 8;     // IRCAM soundfile; never detected, only given
constexpr int kFileTypeAifc = 16;  // read only
constexpr int kFileTypeMemory = 32;
constexpr int kFileTypeSd2 = 64;  // no handler
constexpr int kFileTypeRa = 128;  // no handler

}  // namespace kv
