// Writes the seed corpus of the reader fuzz targets: small valid files of each kind the readers
// know, plus a few of the odd shapes real files have. Usage: make_fuzz_seeds <directory>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "soundfile/au_handler.h"
#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/aiff_builder.h"
#include "tests/soundfile/support/au_builder.h"
#include "tests/soundfile/support/riff_builder.h"

namespace {

using kvtest::Bytes;
using kvtest::chunk;
using kvtest::fmtBody;
using kvtest::riff;

bool writeSamples(const kv::SampleFormat& format, const std::string& path, int fileType) {
  std::vector<int32_t> samples(96);
  for (std::size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int32_t>(i * 0x2A3B4C5Du);
  auto out = kv::SoundStream::openWrite(format, path, fileType);
  return out && out->lastError() == kv::kOk && out->write(samples.data(), 96) == kv::kOk && out->close() == kv::kOk;
}

void writeBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
    return 2;
  }
  const std::filesystem::path root = argv[1];
  for (const char* reader : {"wav", "sf", "aiff", "au"}) {
    std::filesystem::create_directories(root / "seeds" / reader);
    std::filesystem::create_directories(root / "work" / reader);
  }
  const std::string wav = (root / "seeds/wav").string() + "/";
  const std::string sf = (root / "seeds/sf").string() + "/";
  const std::string aiff = (root / "seeds/aiff").string() + "/";
  const std::string au = (root / "seeds/au").string() + "/";

  bool ok = true;
  for (int bytes : {1, 2, 3}) {
    for (int channels : {1, 2}) {
      const std::string name = std::to_string(8 * bytes) + "bit" + std::to_string(channels) + "ch";
      ok &= writeSamples(kv::SampleFormat::make(8000.0f, bytes, kv::kUnset, channels), wav + name + ".wav",
                         kv::kFileTypeWav);
    }
  }
  const Bytes data = kvtest::pcm16(kvtest::ramp16(80));
  const Bytes list = chunk("LIST", {'I', 'N', 'F', 'O', 'x'});
  writeBytes(wav + "list-odd.wav", riff({list, chunk("fmt ", fmtBody(1, 1, 22050, 16)), list, chunk("data", data)}));
  writeBytes(wav + "provisional.wav", riff({chunk("fmt ", fmtBody(1, 2, 44100, 16)), chunk("data", data, 0x7FFFFFDB)}));
  writeBytes(wav + "mulaw.wav", riff({chunk("fmt ", fmtBody(7, 1, 8000, 8)), chunk("data", data)}));
  writeBytes(wav + "alaw.wav", riff({chunk("fmt ", fmtBody(6, 1, 8000, 8)), chunk("data", data)}));
  writeBytes(wav + "20bit.wav", riff({chunk("fmt ", fmtBody(1, 1, 48000, 20, 3)), chunk("data", data)}));
  // The extensible format block, as most recording programs write it.
  writeBytes(wav + "extensible-24bit.wav",
             riff({chunk("fmt ", kvtest::extensibleFmtBody(kvtest::tagGuid(1), 2, 48000, 24, 24)),
                   chunk("data", Bytes(data.begin(), data.begin() + 150))}));
  writeBytes(wav + "extensible-mulaw.wav",
             riff({chunk("fmt ", kvtest::extensibleFmtBody(kvtest::tagGuid(7), 1, 8000, 8, 8)), chunk("data", data)}));

  ok &= writeSamples(kv::SampleFormat::make(22050.0f, 2, kv::kUnset, 1), sf + "16bit1ch.sf", kv::kFileTypeSf);
  ok &= writeSamples(kv::SampleFormat::make(44100.0f, 2, kv::kUnset, 2), sf + "16bit2ch.sf", kv::kFileTypeSf);
  kv::SampleFormat floats = kv::SampleFormat::make(48000.0f, 2, kv::kUnset, 2);
  floats.bytesPerSample = kv::kSizeFloat32;
  ok &= writeSamples(floats, sf + "float2ch.sf", kv::kFileTypeSf);

  for (int bytes : {1, 2, 3}) {
    for (int channels : {1, 2}) {
      const std::string name = std::to_string(8 * bytes) + "bit" + std::to_string(channels) + "ch";
      ok &= writeSamples(kv::SampleFormat::make(8000.0f, bytes, kv::kUnset, channels), aiff + name + ".aiff",
                         kv::kFileTypeAiff);
      ok &= writeSamples(kv::SampleFormat::make(8000.0f, bytes, kv::kEncodingSigned, channels), au + name + ".au",
                         kv::kFileTypeAu);
    }
  }
  const Bytes data16BE = kvtest::pcm16BE(kvtest::ramp16(80));
  const Bytes comm = kvtest::iffChunk("COMM", kvtest::commBody(1, 80, 16, kvtest::rate44100()));
  Bytes marker = {0, 1, 0, 1, 0, 0, 0, 9, 3, 'c', 'u', 'e'};
  writeBytes(aiff + "aifc.aifc",
             kvtest::form({kvtest::iffChunk("FVER", {0xA2, 0x80, 0x51, 0x40}),
                           kvtest::iffChunk(
                               "COMM", kvtest::aifcCommBody(1, 80, 16, kvtest::rate8000(), "NONE", "not compressed")),
                           kvtest::iffChunk("SSND", kvtest::ssndBody(data16BE))},
                          "AIFC"));
  writeBytes(aiff + "chunks.aiff",
             kvtest::form({kvtest::iffChunk("MARK", marker), kvtest::iffChunk("APPL", {'a', 'b', 'c'}),
                           kvtest::iffChunk("SSND", kvtest::ssndBody(data16BE, 5)), comm,
                           kvtest::iffChunk("INST", Bytes(20, 0)), kvtest::iffChunk("ALCH", {0, 0, 0, 1, 7})}));

  kvtest::AuHeader header;
  header.bigEndian = false;
  writeBytes(au + "little16.au", kvtest::auFile(header, kvtest::pcm16(kvtest::ramp16(80))));
  header.bigEndian = true;
  header.headerBytes = 28;
  header.encoding = kv::kAuMuLaw8;
  writeBytes(au + "annotated-mulaw.au", kvtest::auFile(header, data16BE));
  header.headerBytes = 24;
  Bytes codes(120);
  for (std::size_t i = 0; i < codes.size(); ++i) codes[i] = static_cast<uint8_t>(i * 151 + 7);
  for (uint32_t encoding : {kv::kAuG721, kv::kAuG723_24, kv::kAuG723_40}) {
    header.encoding = encoding;
    writeBytes(au + "adpcm" + std::to_string(encoding) + ".au", kvtest::auFile(header, codes));
  }

  if (!ok) std::fprintf(stderr, "could not write every seed\n");
  return ok ? 0 : 1;
}
