#include "soundfile/g72x.h"
#include "soundfile/g72x_decoder.h"

namespace kv {

namespace {

constexpr int16_t kReconstruction[8] = {-2048, 4, 135, 213, 273, 323, 373, 425};
constexpr int16_t kScaleMultipliers[8] = {-12, 18, 41, 64, 112, 198, 355, 1122};
constexpr int16_t kSpeedWeights[8] = {0, 0, 0, 1, 1, 1, 3, 7};
constexpr int16_t kDecisionLevels[7] = {-124, 80, 178, 246, 300, 349, 400};

constexpr G72xRate k32kbit{4, kReconstruction, kScaleMultipliers, kSpeedWeights, kDecisionLevels, 8};

}  // namespace

int g721Decode(int code, int outputKind, G72xState& state) { return decodeG72x(code, outputKind, state, k32kbit); }

}  // namespace kv
