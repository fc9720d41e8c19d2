#pragma once
// QUILLORA_UNDER_THREAD_SANITIZER is defined in the race build, whose detector does not
// follow a fork of a process with threads: the tests that fork skip themselves there.
// QUILLORA_UNDER_ADDRESS_SANITIZER is defined in the memory-checking build, whose
// quarantine keeps freed memory resident: figures of memory use mean nothing there.

#if defined(__SANITIZE_THREAD__)
#define QUILLORA_UNDER_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define QUILLORA_UNDER_THREAD_SANITIZER 1
#endif
#endif

#if defined(__SANITIZE_ADDRESS__)
#define QUILLORA_UNDER_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLORA_UNDER_ADDRESS_SANITIZER 1
#endif
#endif
