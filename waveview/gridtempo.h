#pragma once

#include <QString>

#include <cstdint>

namespace lentaro {

// Beats per minute of a beat of beatMs milliseconds (at least 1), truncated to one decimal.
float tempoOfBeat(std::int32_t beatMs);
// The tempo at recorded speed of one played at slowDownPercent, to one decimal; speeds below
// the slowest the slow-down road plays (5 %) count as that.
double originalTempo(float tempo, int slowDownPercent);
// "Slowed-down tempo is 120 beats per minute." and, after a blank line, "Original tempo: 240".
QString tempoMessage(float tempo, double original);

} // namespace lentaro
