#pragma once
// QUILLORA_UNDER_THREAD_SANITIZER is defined in the race build, whose detector does not
// follow a fork of a process with threads: the tests that fork skip themselves there.

#if defined(__SANITIZE_THREAD__)
#define QUILLORA_UNDER_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUILLORA_UNDER_THREAD_SANITIZER 1
#endif
#endif
