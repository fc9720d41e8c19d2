#!/usr/bin/env bash
# Installs what is needed, then builds and runs every test three times: a plain debug
# build (on a virtual X display, so the desktop backend is tested too), a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, and a build with ThreadSanitizer for
# the tests that run threads (label "threaded").
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

echo "== formatting (.clang-format; scripts/check-format.sh --fix rewrites)"
"$top/scripts/check-format.sh"

run_tests() {
  (cd "$top/$1" && ctest --output-on-failure --timeout 120 -j2 "${@:2}")
}

echo "== debug build (the desktop display's test under Xvfb)"
"$top/scripts/build.sh" build-debug -DCMAKE_BUILD_TYPE=Debug
xvfb-run -a bash -c "cd '$top/build-debug' && ctest --output-on-failure --timeout 120 -j2"

echo "== the installed program (a package of the debug build, unpacked into a scratch root)"
"$top/scripts/check-install.sh" build-debug

echo "== address and undefined-behaviour sanitizers"
"$top/scripts/build.sh" build-asan -DCMAKE_BUILD_TYPE=Debug -DQUILLORA_SANITIZE=address,undefined
# alloc_dealloc_mismatch=0: the pinyin engine's own library frees with delete what it
# allocated with new[] while it loads its dictionary (Debian's libgooglepinyin0).
ASAN_OPTIONS=detect_leaks=1:alloc_dealloc_mismatch=0 LSAN_OPTIONS="suppressions=$top/tests/lsan.supp" \
  UBSAN_OPTIONS=print_stacktrace=1 run_tests build-asan

echo "== thread sanitizer"
"$top/scripts/build.sh" build-tsan -DCMAKE_BUILD_TYPE=Debug -DQUILLORA_SANITIZE=thread
TSAN_OPTIONS="second_deadlock_stack=1 suppressions=$top/tests/tsan.supp" run_tests build-tsan -L threaded
