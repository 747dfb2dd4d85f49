#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "soundfile/format_handler.h"
#include "soundfile/sound_stream.h"
#include "soundfile/type_detection.h"
#include "tests/soundfile/support/aiff_builder.h"
#include "tests/soundfile/support/au_builder.h"
#include "tests/soundfile/support/memory_file.h"
#include "tests/soundfile/support/riff_builder.h"

namespace {

using kvtest::Bytes;

Bytes startingWith(const std::string& text, std::size_t size = 200) {
  Bytes bytes(text.begin(), text.end());
  bytes.resize(size, 0);
  return bytes;
}

struct Detection {
  std::string name;
  Bytes contents;
  int32_t result;
  int fileType;
};

void PrintTo(const Detection& d, std::ostream* os) { *os << d.name; }

class TypeDetection : public ::testing::TestWithParam<Detection> {};

TEST_P(TypeDetection, FindsTheTypeFromTheFirstBytes) {
  const Detection& d = GetParam();
  kvtest::MemoryFile file(d.contents);
  int fileType = kv::kFileTypeDetect;
  EXPECT_EQ(kv::detectFileType(file, fileType), d.result);
  if (d.result == kv::kOk) {
    EXPECT_EQ(fileType, d.fileType);
  }
  EXPECT_EQ(file.tell(), 0);  // the handler starts from the top
}

INSTANTIATE_TEST_SUITE_P(
    Contents, TypeDetection,
    ::testing::Values(
        Detection{"Wav", startingWith(std::string("RIFF\0\0\0\0WAVE", 12)), kv::kOk, kv::kFileTypeWav},
        Detection{"RiffOfAnotherKind", startingWith(std::string("RIFF\0\0\0\0AVI ", 12)), kv::kUnsupportedFormat, 0},
        Detection{"AuBigEndian", startingWith(".snd"), kv::kOk, kv::kFileTypeAu},
        Detection{"AuLittleEndian", startingWith("dns."), kv::kOk, kv::kFileTypeAu},
        Detection{"AuZeroMagic", startingWith(std::string("\0ds.", 4)), kv::kOk, kv::kFileTypeAu},
        Detection{"Aiff", startingWith(std::string("FORM\0\0\0\0AIFF", 12)), kv::kOk, kv::kFileTypeAiff},
        Detection{"Aifc", startingWith(std::string("FORM\0\0\0\0AIFC", 12)), kv::kOk, kv::kFileTypeAifc},
        Detection{"FormOfAnotherKind", startingWith(std::string("FORM\0\0\0\08SVX", 12)), kv::kUnsupportedFormat, 0},
        Detection{"IrcamIsNeverGuessed", startingWith(std::string("\x64\xA3\x01\x00", 4)), kv::kUnsupportedFormat, 0},
        Detection{"Text", startingWith("hello, world"), kv::kUnsupportedFormat, 0},
        Detection{"ShorterThanTheProbe", startingWith(std::string("RIFF\0\0\0\0WAVE", 12), 131), kv::kFileError, 0},
        Detection{"Empty", Bytes{}, kv::kFileError, 0}),
    [](const ::testing::TestParamInfo<Detection>& info) { return info.param.name; });

TEST(TypeDetection, DetectedFilesOpenWithTheirHandler) {
  struct Detected {
    const char* name;
    Bytes contents;
    int fileType;
    const char* handlerName;
  };
  const Bytes data(200, 0);
  kvtest::AuHeader littleEndian;
  littleEndian.bigEndian = false;
  Bytes zeroMagic = kvtest::auFile(littleEndian, data);
  zeroMagic[0] = 0;  // 00 64 73 2E
  zeroMagic[1] = 'd';
  const Bytes comm = kvtest::iffChunk("COMM", kvtest::commBody(1, 100, 16, kvtest::rate44100()));
  const Bytes aifcComm =
      kvtest::iffChunk("COMM", kvtest::aifcCommBody(1, 100, 16, kvtest::rate44100(), "NONE", "not compressed"));
  const Bytes ssnd = kvtest::iffChunk("SSND", kvtest::ssndBody(data));
  const Detected files[] = {
      {"au", kvtest::auFile(kvtest::AuHeader{}, data), kv::kFileTypeAu, "au"},
      {"au little-endian", kvtest::auFile(littleEndian, data), kv::kFileTypeAu, "au"},
      {"au zero magic", zeroMagic, kv::kFileTypeAu, "au"},
      {"aiff", kvtest::form({comm, ssnd}), kv::kFileTypeAiff, "aiff"},
      {"aifc", kvtest::form({aifcComm, ssnd}, "AIFC"), kv::kFileTypeAifc, "aifc (uncompressed)"},
  };
  for (const Detected& d : files) {
    auto stream = kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(d.contents));
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->lastError(), kv::kOk) << d.name;
    EXPECT_EQ(stream->typeFound(), d.fileType) << d.name;
    EXPECT_EQ(stream->handlerName(), d.handlerName) << d.name;
    EXPECT_EQ(stream->length(), 100) << d.name;
  }
}

TEST(TypeDetection, GivenTypesSkipDetection) {
  const Bytes wav = startingWith(std::string("RIFF\0\0\0\0WAVE", 12));
  EXPECT_EQ(kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(wav), 99)->lastError(), kv::kInternalError);
  EXPECT_EQ(kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(wav), kv::kFileTypeMemory)->lastError(),
            kv::kUnsupportedFormat);
  EXPECT_EQ(kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(wav), kv::kFileTypeSd2)->lastError(),
            kv::kUnsupportedFormat);
  EXPECT_EQ(kv::SoundStream::openRead(std::make_unique<kvtest::MemoryFile>(wav), kv::kFileTypeSf)->lastError(),
            kv::kMalformedInput);  // read as what it was called, not as what it is
}

TEST(HandlerTable, NamesMatchWhateverTheirCase) {
  EXPECT_NE(kv::findHandler("wav"), nullptr);
  EXPECT_EQ(kv::findHandler("WAV"), kv::findHandler("wav"));
  EXPECT_EQ(kv::findHandler("Sf"), kv::findHandler("sf"));
  EXPECT_NE(kv::findHandler("MEM"), nullptr);
  EXPECT_EQ(kv::findHandler("AIF"), kv::findHandler("aiff"));
  EXPECT_NE(kv::findHandler("Au"), nullptr);
  EXPECT_NE(kv::findHandler("auto"), nullptr);
  EXPECT_EQ(kv::findHandler("wa"), nullptr);
  EXPECT_EQ(kv::findHandler("wave"), nullptr);
  EXPECT_EQ(kv::findHandler("ra"), nullptr);
}

}  // namespace
