#!/usr/bin/env bash
# soak.sh [NAVIGATIONS]: the program's long soak (500 navigations unless given) on the
# headless screen, against a loopback site that deals a network fault in every ten
# requests; prints its figures (time, requests, faults, boxes, resident memory). The
# test command runs the same soak with 50.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" build-debug -DCMAKE_BUILD_TYPE=Debug
cd "$top/build-debug/tests"
QUILLORA_SOAK_NAVIGATIONS=${1:-500} QUILLORA_NO_SOUND=1 QUILLORA_NO_PLAYER=1 QUILLORA_TRANSITION_FRAME_MS=0 \
  ./program_tests --gtest_filter='ProgramSoak.*'
