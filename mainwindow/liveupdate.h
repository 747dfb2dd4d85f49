#pragma once

namespace lentaro {

// How often a playing device reports its position, in ms.
constexpr int liveUpdateInterval = 500;

} // namespace lentaro
