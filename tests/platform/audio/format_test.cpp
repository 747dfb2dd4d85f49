#include "platform/audio/Format.h"

#include <gtest/gtest.h>

namespace lentaro::audio {
namespace {

struct FormatCase {
  const char* what;
  Format format;
  bool playable;
  bool recordable;
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.what; }

class FormatCheck : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatCheck, AcceptsWhatADeviceCouldTakeAndNothingElse) {
  const FormatCase& c = GetParam();
  const Status play = checkOutputFormat(c.format);
  const Status record = checkInputFormat(c.format);
  EXPECT_EQ(play.ok(), c.playable) << play.detail;
  EXPECT_EQ(record.ok(), c.recordable) << record.detail;
  if (!play.ok()) {
    EXPECT_EQ(play.error, Error::BadFormat);
    EXPECT_FALSE(play.detail.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatCheck,
                         ::testing::Values(FormatCase{"cd", {2, 44100, 16, Encoding::Pcm}, true, true},
                                           FormatCase{"mono8", {1, 22050, 8, Encoding::Pcm}, true, true},
                                           FormatCase{"pcm24", {1, 48000, 24, Encoding::Pcm}, true, true},
                                           FormatCase{"pcm32", {2, 96000, 32, Encoding::Pcm}, true, true},
                                           FormatCase{"mulaw", {1, 8000, 8, Encoding::MuLaw}, true, false},
                                           FormatCase{"alaw", {2, 8000, 8, Encoding::ALaw}, true, false},
                                           FormatCase{"noChannels", {0, 44100, 16, Encoding::Pcm}, false, false},
                                           FormatCase{"threeChannels", {3, 44100, 16, Encoding::Pcm}, false, false},
                                           FormatCase{"noRate", {1, 0, 16, Encoding::Pcm}, false, false},
                                           FormatCase{"negativeRate", {1, -44100, 16, Encoding::Pcm}, false, false},
                                           FormatCase{"rateTooHigh", {1, 192001, 16, Encoding::Pcm}, false, false},
                                           FormatCase{"twelveBits", {1, 44100, 12, Encoding::Pcm}, false, false},
                                           FormatCase{"sevenBits", {1, 44100, 7, Encoding::Pcm}, false, false},
                                           FormatCase{"noBits", {1, 44100, 0, Encoding::Pcm}, false, false},
                                           FormatCase{"wideMulaw", {1, 8000, 16, Encoding::MuLaw}, false, false}),
                         [](const auto& info) { return std::string(info.param.what); });

}  // namespace
}  // namespace lentaro::audio
