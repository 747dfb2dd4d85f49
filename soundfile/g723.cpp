#include "soundfile/g72x.h"
#include "soundfile/g72x_decoder.h"

namespace kv {

namespace {

// 24 kbit/s, 3-bit codes.
constexpr int16_t kReconstruction24[4] = {-2048, 135, 273, 373};
constexpr int16_t kScaleMultipliers24[4] = {-4, 30, 137, 582};
constexpr int16_t kSpeedWeights24[4] = {0, 1, 2, 7};
constexpr int16_t kDecisionLevels24[3] = {8, 218, 331};

// 40 kbit/s, 5-bit codes; its zero predictor leaks more slowly.
constexpr int16_t kReconstruction40[16] = {-2048, -66, 28,  104, 169, 224, 274, 318,
                                           358,   395, 429, 459, 488, 514, 539, 566};
constexpr int16_t kScaleMultipliers40[16] = {14, 14, 24, 39, 40, 41, 58, 100, 141, 179, 219, 280, 358, 440, 529, 696};
constexpr int16_t kSpeedWeights40[16] = {0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 2, 3, 4, 5, 6, 6};
constexpr int16_t kDecisionLevels40[15] = {-122, -16, 68, 139, 198, 250, 298, 339, 378, 413, 445, 475, 502, 528, 553};

constexpr G72xRate k24kbit{3, kReconstruction24, kScaleMultipliers24, kSpeedWeights24, kDecisionLevels24, 8};
constexpr G72xRate k40kbit{5, kReconstruction40, kScaleMultipliers40, kSpeedWeights40, kDecisionLevels40, 9};

}  // namespace

int g723_24Decode(int code, int outputKind, G72xState& state) { return decodeG72x(code, outputKind, state, k24kbit); }

int g723_40Decode(int code, int outputKind, G72xState& state) { return decodeG72x(code, outputKind, state, k40kbit); }

}  // namespace kv
