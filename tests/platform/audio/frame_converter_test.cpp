#include "platform/audio/FrameConverter.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <random>
#include <stdexcept>
#include <vector>

namespace lentaro::audio {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes pcm16(std::initializer_list<int> samples) {
  Bytes bytes;
  for (int s : samples) {
    bytes.push_back(static_cast<std::uint8_t>(s & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((s >> 8) & 0xFF));
  }
  return bytes;
}

Format pcm(int channels, int bits, int rate = 8000) { return {channels, rate, bits, Encoding::Pcm}; }

Bytes convertWhole(const Format& from, const Format& to, const Bytes& in) {
  FrameConverter converter(from, to);
  Bytes out;
  converter.convert(in.data(), in.size(), out);
  return out;
}

struct ConversionCase {
  const char* what;
  Format from;
  Format to;
  Bytes in;
  Bytes expected;
};

void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.what; }

class Conversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(Conversion, GivesTheSamplesOfTheTargetFormat) {
  const ConversionCase& c = GetParam();
  EXPECT_EQ(convertWhole(c.from, c.to, c.in), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    SameRate, Conversion,
    ::testing::Values(
        ConversionCase{"monoToStereoCopies", pcm(1, 16), pcm(2, 16), pcm16({1000, -2}), pcm16({1000, 1000, -2, -2})},
        ConversionCase{"stereoToMonoAverages", pcm(2, 16), pcm(1, 16), pcm16({1000, 3000, -1, -2}), pcm16({2000, -2})},
        ConversionCase{"unsigned8To16", pcm(1, 8), pcm(1, 16), Bytes{0x80, 0xFF, 0x00}, pcm16({0, 32512, -32768})},
        ConversionCase{"16To8RoundsAndClips", pcm(1, 16), pcm(1, 8), pcm16({0, 32767, -32768, 128}),
                       Bytes{0x80, 0xFF, 0x00, 0x81}},
        ConversionCase{"16To24", pcm(1, 16), pcm(1, 24), pcm16({1, -1}), Bytes{0x00, 0x01, 0x00, 0x00, 0xFF, 0xFF}},
        ConversionCase{"32To16", pcm(1, 32), pcm(1, 16), Bytes{0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x80, 0x00, 0x00},
                       pcm16({32767, 1})},
        ConversionCase{
            "muLaw", {1, 8000, 8, Encoding::MuLaw}, pcm(1, 16), Bytes{0xFF, 0x80, 0x00}, pcm16({0, 32124, -32124})},
        ConversionCase{
            "aLaw", {1, 8000, 8, Encoding::ALaw}, pcm(1, 16), Bytes{0xD5, 0x55, 0xAA}, pcm16({8, -8, 32256})},
        ConversionCase{"partialFrameIgnored", pcm(1, 16), pcm(2, 16), Bytes{0x10, 0x00, 0x20}, pcm16({16, 16})}),
    [](const auto& info) { return std::string(info.param.what); });

INSTANTIATE_TEST_SUITE_P(NewRate, Conversion,
                         ::testing::Values(ConversionCase{"doubleInterpolates", pcm(1, 16, 8000), pcm(1, 16, 16000),
                                                          pcm16({0, 100, 200, 300}),
                                                          pcm16({0, 50, 100, 150, 200, 250})},
                                           ConversionCase{"halfTakesEveryOther", pcm(1, 16, 16000), pcm(1, 16, 8000),
                                                          pcm16({0, 10, 20, 30, 40}), pcm16({0, 20})}),
                         [](const auto& info) { return std::string(info.param.what); });

// A stream split at arbitrary points must come out exactly as in one piece: the interpolation
// carries across the seams.
TEST(FrameConverterStream, ConvertsTheSameInPiecesAsInOneGo) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> sample(-30000, 30000);
  std::uniform_int_distribution<std::size_t> pieceFrames(0, 37);
  const struct {
    Format from;
    Format to;
  } pairs[] = {{pcm(2, 16, 44100), pcm(1, 16, 22050)},
               {pcm(1, 16, 8000), pcm(2, 16, 11025)},
               {pcm(2, 16, 44100), pcm(1, 8, 48000)}};
  for (const auto& pair : pairs) {
    Bytes in;
    for (int i = 0; i < 2000 * pair.from.channels; ++i) {
      const Bytes s = pcm16({sample(random)});
      in.insert(in.end(), s.begin(), s.end());
    }
    FrameConverter converter(pair.from, pair.to);
    Bytes pieces;
    const auto frameBytes = static_cast<std::size_t>(pair.from.bytesPerFrame());
    for (std::size_t at = 0; at < in.size();) {
      const std::size_t count = std::min(pieceFrames(random) * frameBytes, in.size() - at);
      converter.convert(in.data() + at, count, pieces);
      at += count;
    }
    EXPECT_EQ(pieces, convertWhole(pair.from, pair.to, in)) << pair.from.sampleRate << " to " << pair.to.sampleRate;
  }
}

TEST(FrameConverterStream, RefusesFormatsItCannotMake) {
  EXPECT_THROW(FrameConverter(pcm(1, 16), Format{1, 8000, 8, Encoding::MuLaw}), std::invalid_argument);
  EXPECT_THROW(FrameConverter(pcm(0, 16), pcm(1, 16)), std::invalid_argument);
}

}  // namespace
}  // namespace lentaro::audio
