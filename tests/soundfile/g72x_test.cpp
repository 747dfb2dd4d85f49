#include "soundfile/g72x.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "soundfile/g711.h"

namespace {

struct Rate {
  const char* name;
  kv::G72xDecoder decode;
  int codeBits;
};

const Rate kG721{"G721", kv::g721Decode, 4};
const Rate kG723_24{"G723_24", kv::g723_24Decode, 3};
const Rate kG723_40{"G723_40", kv::g723_40Decode, 5};

void PrintTo(const Rate& r, std::ostream* os) { *os << r.name; }

std::vector<int> decodeAll(const Rate& rate, const std::vector<int>& codes, int outputKind = kv::kG72xLinear) {
  kv::G72xState state;
  kv::resetG72xState(state);
  std::vector<int> out;
  for (int code : codes) out.push_back(rate.decode(code, outputKind, state));
  return out;
}

// Codes written one character each, digits then letters (0-9, A-V).
std::vector<int> codesFrom(const std::string& text) {
  std::vector<int> codes;
  for (char c : text) codes.push_back(c <= '9' ? c - '0' : c - 'A' + 10);
  return codes;
}

// Values worked out by hand from the recommendations: from reset y is 544 (yl 34816 >> 6), so
// the quantised difference's logarithm is the code's reconstruction level + 136, and the
// predictor adds nothing. G.721 code 7: 425 + 136 = 561 = 4 << 7 | 49, giving
// (128 + 49) << 7 >> (14 - 4) = 22, output 22 << 2. The state then holds yu 1649, yl 35921,
// ap 32, a1 192, a2 128, every b 128; the next code 7 sees y = 561 + (1088 × 8 >> 6) = 697,
// 425 + 174 = 599 = 4 << 7 | 87, (215 << 7) >> 10 = 26, and a predictor still rounding to 0.
TEST(G72xDecoding, FirstOutputsFromResetMatchTheHandWorkedValues) {
  EXPECT_EQ(decodeAll(kG721, {7, 7}), (std::vector<int>{88, 104}));
  EXPECT_EQ(decodeAll(kG721, {8}), (std::vector<int>{-88}));  // the same magnitude, negative
  // 24 kbit/s code 3: 373 + 136 = 509 = 3 << 7 | 125, (253 << 7) >> 11 = 15.
  EXPECT_EQ(decodeAll(kG723_24, {3}), (std::vector<int>{60}));
  // 40 kbit/s code 15: 566 + 136 = 702 = 5 << 7 | 62, (190 << 7) >> 9 = 47.
  EXPECT_EQ(decodeAll(kG723_40, {15}), (std::vector<int>{188}));
  // mu-law output of the first G.721 code 7: 88 is exactly the mu-law level 0xF4, which an
  // encoder quantises back to 7, so no adjustment.
  EXPECT_EQ(decodeAll(kG721, {7}, kv::kG72xMuLaw), (std::vector<int>{0xF4}));
}

// A 4000-level (14-bit) sine of period 20, encoded by an encoder following the recommendations.
const std::string kSine721 =
    "F777777777EB99AABCEF346554431EDAAAAACCE1355555321ECAAAAACDE1355555231ECB9ABADCE1346545231EDAAAABBDE1246455231E"
    "DB9BABCCFE354644331FCBA9CACDE1145635231EDC9BBADCD2145545321FCC9BACCCE1154464222DFBBABCBEDF";
const std::string kSine723_24 =
    "73333333336444445667123222111765455566771232221116654556567713122221776545565661122321271765465566611223211277"
    "655465667712312211166645647677722222127765546566617223112177664655756262221317716654756751";
const std::string kSine723_40 =
    "VFFFFFFFFFQGGKLMNPR158AA99753TPNMLMNOQT3689A98653SPMMMMNORS4599998653RQNLMMOOQS3689998742TQNMMMNORS3579A88653T"
    "QNMMNMQPT167999776VVQNMNMNPRS3389888741UROMNMOOP2T568897653URPNONOOQVV458697371USPPOOPOR2T";

const double kPi = std::acos(-1.0);

struct SineCase {
  Rate rate;
  const std::string* codes;
  double minSnrDb;
};

void PrintTo(const SineCase& c, std::ostream* os) { *os << c.rate.name; }

class G72xSine : public ::testing::TestWithParam<SineCase> {};

TEST_P(G72xSine, DecodesBackToTheSineItWasEncodedFrom) {
  const SineCase& c = GetParam();
  const std::vector<int> out = decodeAll(c.rate, codesFrom(*c.codes));
  ASSERT_EQ(out.size(), 200u);
  double signal = 0.0;
  double error = 0.0;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const double expected = 4.0 * std::round(4000.0 * std::sin(2.0 * kPi * static_cast<double>(i) / 20.0));
    EXPECT_LE(std::abs(out[i]), 4 * 4000 * 1.2) << "sample " << i;  // bounded by the sine, give or take
    if (i < 40) continue;                                           // the decoder has adapted by then
    signal += expected * expected;
    error += (out[i] - expected) * (out[i] - expected);
  }
  EXPECT_GT(10.0 * std::log10(signal / error), c.minSnrDb);
}

INSTANTIATE_TEST_SUITE_P(Rates, G72xSine,
                         ::testing::Values(SineCase{kG721, &kSine721, 28.0}, SineCase{kG723_24, &kSine723_24, 22.0},
                                           SineCase{kG723_40, &kSine723_40, 32.0}),
                         [](const ::testing::TestParamInfo<SineCase>& info) {
                           return std::string(info.param.rate.name);
                         });

// The first 40 G.721 samples of that sine, from a second, register-level model of the
// recommendation's blocks (unsigned registers of the stated widths, every sum taken modulo).
TEST(G72xDecoding, TheStartOfTheEncodedSineMatchesTheRegisterModel) {
  const std::vector<int> expected = {0,    88,    120,   172,    244,    376,    584,    1052,   2116,  4728,
                                     -276, -4280, -8336, -12808, -14780, -17056, -16216, -13844, -8864, -5672,
                                     196,  4336,  9992,  12896,  15612,  15120,  15316,  13572,  9224,  4504,
                                     508,  -5564, -9356, -12128, -14288, -16056, -14264, -13072, -9468, -4952};
  EXPECT_EQ(decodeAll(kG721, codesFrom(kSine721.substr(0, 40))), expected);
}

class G72xRates : public ::testing::TestWithParam<Rate> {};

TEST_P(G72xRates, SilenceCodesStayAtZeroAndLetASoundDieAway) {
  const Rate& rate = GetParam();
  const int negativeZero = (1 << rate.codeBits) - 1;  // what encoders send for silence
  for (int value : decodeAll(rate, std::vector<int>(500, negativeZero))) ASSERT_EQ(value, 0);
  for (int value : decodeAll(rate, std::vector<int>(500, 0))) ASSERT_EQ(value, 0);

  // A burst of the largest codes, alternating in sign, then silence.
  std::vector<int> codes;
  const int largest = (1 << (rate.codeBits - 1)) - 1;
  for (int i = 0; i < 40; ++i) codes.push_back(i % 4 < 2 ? largest : negativeZero - largest);
  codes.insert(codes.end(), 2000, negativeZero);
  const std::vector<int> out = decodeAll(rate, codes);
  for (std::size_t i = codes.size() - 100; i < codes.size(); ++i) EXPECT_LE(std::abs(out[i]), 64) << "sample " << i;
}

TEST_P(G72xRates, CompandedOutputIsTheLinearOutputsLevelOrItsNeighbour) {
  const Rate& rate = GetParam();
  std::vector<int> codes;
  std::srand(11);
  for (int i = 0; i < 3000; ++i) codes.push_back(std::rand() % 3 == 0 ? std::rand() : i % 7);
  const std::vector<int> linear = decodeAll(rate, codes);
  const std::vector<int> muLaw = decodeAll(rate, codes, kv::kG72xMuLaw);
  const std::vector<int> aLaw = decodeAll(rate, codes, kv::kG72xALaw);
  // Levels apart, counted in decoded values: two zero codes of mu-law are one level.
  const auto levelsApart = [](int a, int b, int16_t (*decode)(uint8_t)) {
    const int low = std::min(decode(static_cast<uint8_t>(a)), decode(static_cast<uint8_t>(b)));
    const int high = std::max(decode(static_cast<uint8_t>(a)), decode(static_cast<uint8_t>(b)));
    int between = 0;
    for (int code = 0; code < 256; ++code) {
      const int value = decode(static_cast<uint8_t>(code));
      if (value > low && value < high) ++between;
    }
    return low == high ? 0 : 1 + between;
  };
  int adjusted = 0;
  for (std::size_t i = 0; i < codes.size(); ++i) {
    ASSERT_GE(muLaw[i], 0);
    ASSERT_LE(muLaw[i], 255);
    const int muLevel = kv::linearToMuLaw(linear[i]);
    const int aLevel = kv::linearToALaw((linear[i] >> 3) * 8);  // A-law takes 13 bits
    ASSERT_LE(levelsApart(muLaw[i], muLevel, kv::muLawToLinear), 1) << "sample " << i;
    ASSERT_LE(levelsApart(aLaw[i], aLevel, kv::aLawToLinear), 1) << "sample " << i;
    adjusted += muLaw[i] != muLevel;
  }
  EXPECT_GT(adjusted, 0);  // the adjustment happens, now and then
}

TEST_P(G72xRates, UnknownOutputKindsGiveMinusOne) {
  kv::G72xState state;
  kv::resetG72xState(state);
  for (int kind : {0, 4, -1}) EXPECT_EQ(GetParam().decode(3, kind, state), -1);
}

INSTANTIATE_TEST_SUITE_P(All, G72xRates, ::testing::Values(kG721, kG723_24, kG723_40),
                         [](const ::testing::TestParamInfo<Rate>& info) { return std::string(info.param.name); });

}  // namespace
