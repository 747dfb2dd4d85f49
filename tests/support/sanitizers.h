#pragma once

namespace lentaro::test {

// ThreadSanitizer's runtime fails its own check in the child when Qt starts a program from a
// process with threads (its clone, also for a program that then cannot run), so tests that start
// programs are checked in the other builds.
#if defined(__SANITIZE_THREAD__)
inline constexpr bool underThreadSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
inline constexpr bool underThreadSanitizer = true;
#else
inline constexpr bool underThreadSanitizer = false;
#endif
#else
inline constexpr bool underThreadSanitizer = false;
#endif

// AddressSanitizer's or ThreadSanitizer's instrumentation slows every thread several times, so a
// hand-over timed on the real clock gets more room there than in the build people run.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool underAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool underAddressSanitizer = true;
#else
inline constexpr bool underAddressSanitizer = false;
#endif
#else
inline constexpr bool underAddressSanitizer = false;
#endif
inline constexpr bool underSanitizer = underAddressSanitizer || underThreadSanitizer;

inline constexpr char cannotStartPrograms[] = "ThreadSanitizer cannot follow a started program";

} // namespace lentaro::test
