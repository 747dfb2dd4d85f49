#pragma once

namespace lentaro {

// Waits nSecond seconds on a monotonic clock while the program keeps handling its events
// (repaints, clicks, timers). Zero or less returns at once without handling any.
void Pause(float nSecond);

} // namespace lentaro
