#pragma once
// KV_THREAD_SANITIZER is defined when this file is compiled with ThreadSanitizer, however the
// sanitizer was asked for: gcc says so with __SANITIZE_THREAD__, clang through __has_feature.

#if defined(__SANITIZE_THREAD__)
#define KV_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define KV_THREAD_SANITIZER 1
#endif
#endif
