// Sound files are regular files: anything else named as one is refused at once, for reading and
// for writing, and left as it was. Opened the ordinary way, a FIFO would hold the caller for ever
// and /dev/zero would never end.

#include "soundfile/disk_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "soundfile/file_types.h"
#include "soundfile/regular_file.h"
#include "soundfile/result_codes.h"
#include "soundfile/sound_stream.h"
#include "tests/soundfile/support/temp_dir.h"
#include "tests/soundfile/support/wav_files.h"
#include "tests/support/non_regular_files.h"

namespace {

using kvtest::NonRegularCase;
using kvtest::NonRegularFile;

class NonRegularPaths : public kvtest::TempDirTest, public ::testing::WithParamInterface<NonRegularCase> {};

TEST_P(NonRegularPaths, AreRefusedForReadingWhateverTheType) {
  const NonRegularFile special(GetParam().kind, path(""), "in.wav");
  ASSERT_TRUE(special.made());
  const auto before = folder();

  EXPECT_EQ(kv::DiskFile::openForReading(special.path()), nullptr);
  for (int fileType : {kv::kFileTypeDetect, kv::kFileTypeWav, kv::kFileTypeAu, kv::kFileTypeSf}) {
    SCOPED_TRACE(fileType);
    auto stream = kv::SoundStream::openRead(special.path(), fileType);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->lastError(), kv::kFileError);
  }
  EXPECT_TRUE(folder() == before);
}

TEST_P(NonRegularPaths, AreRefusedForWritingAndLeftAsTheyWere) {
  const NonRegularFile special(GetParam().kind, path(""), "out.wav");
  ASSERT_TRUE(special.made());
  const auto before = folder();

  EXPECT_EQ(kv::DiskFile::openForWriting(special.path()), nullptr);
  for (int fileType : {kv::kFileTypeWav, kv::kFileTypeAiff, kv::kFileTypeAu, kv::kFileTypeSf}) {
    SCOPED_TRACE(fileType);
    auto stream =
        kv::SoundStream::openWrite(kv::SampleFormat::make(8000.0f, 2, kv::kUnset, 1), special.path(), fileType);
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->lastError(), kv::kFileError);
  }
  EXPECT_TRUE(folder() == before);
  EXPECT_EQ(special.takeWritten(), "");  // not even a header reached a reader
}

// What a message can say of it: what stands there instead of a file.
TEST_P(NonRegularPaths, AreNamedForWhatTheyAre) {
  const NonRegularFile special(GetParam().kind, path(""), "in.wav");
  ASSERT_TRUE(special.made());
  const std::map<kvtest::NonRegular, std::string> said = {
      {kvtest::NonRegular::kFifo, "it is a FIFO, not a file"},
      {kvtest::NonRegular::kFifoHeldOpen, "it is a FIFO, not a file"},
      {kvtest::NonRegular::kLinkToFifo, "it is a FIFO, not a file"},
      {kvtest::NonRegular::kZeroDevice, "it is a device, not a file"},
      {kvtest::NonRegular::kNullDevice, "it is a device, not a file"},
      {kvtest::NonRegular::kSocket, "it is a socket, not a file"},
      {kvtest::NonRegular::kFolder, "it is a folder, not a file"},
  };
  for (int access : {O_RDONLY, O_WRONLY | O_CREAT}) {
    const kv::RegularFile attempt = kv::openRegularFile(special.path(), access);
    EXPECT_FALSE(attempt.opened());
    EXPECT_EQ(kv::whyNotOpened(attempt), said.at(GetParam().kind)) << access;
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, NonRegularPaths, ::testing::ValuesIn(kvtest::nonRegularCases()),
                         kvtest::nonRegularCaseName);

class RegularPaths : public kvtest::TempDirTest {};

// What is refused above is the kind of file, not the way there: a link to a sound file still reads,
// and writing still creates a new file or replaces an old one.
TEST_F(RegularPaths, AreReadAndWrittenAsBefore) {
  const std::vector<int32_t> samples(100, 1 << 20);  // enough for the type to be found
  kvtest::writeSoundFile(path("new.wav"), samples, 1);
  std::filesystem::create_symlink("new.wav", path("link.wav"));
  EXPECT_EQ(kvtest::readSoundFile(path("link.wav")).samples, samples);

  writeAll(path("old.wav"), std::vector<uint8_t>(5000, 0x55));
  kvtest::writeSoundFile(path("old.wav"), samples, 1);
  EXPECT_EQ(readAll(path("old.wav")).size(), 44u + 2 * samples.size());
  EXPECT_EQ(kvtest::readSoundFile(path("old.wav")).samples, samples);
}

TEST_F(RegularPaths, AMissingFileIsSaidToBeMissing) {
  const kv::RegularFile attempt = kv::openRegularFile(path("none.wav"), O_RDONLY);
  EXPECT_FALSE(attempt.opened());
  EXPECT_EQ(attempt.error, ENOENT);
  EXPECT_EQ(kv::whyNotOpened(attempt), "No such file or directory");
}

}  // namespace
