#pragma once

#include <QString>

#include <cstdint>

namespace lentaro {

// The message of a pass that failed: the engine's result and, when it has one, its text.
QString slowdownFailedText(std::int32_t result, const QString& engineText);

// Where the slow-down road stands: nothing under way; a pass is running; its end arrived and
// the pass timer will hand it over; the finished pass is replayed; a stopped pass has still to
// report its end.
enum class RoadState { Idle, PassRunning, HandOverPending, Replaying, StoppedPass };

} // namespace lentaro
