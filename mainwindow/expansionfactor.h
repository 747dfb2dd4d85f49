#pragma once

namespace lentaro {

class MainState;

// Sets gvExpansionFactor, the slowed file's length over temp.wav's per channel, from the main
// window's speed: (100 / percent) / channels of temp.wav, the speed raised to the slowest the
// slow-down road plays. The channels are tempWavChannels, or temp.wav's own while those are not
// known; 50 / percent only when there is no temp.wav to tell. Without a speed it stays as it was.
void expFactorSet(const MainState& state);

// The slowest speed the slow-down road plays, in percent.
constexpr int slowestPercent = 5;

} // namespace lentaro
