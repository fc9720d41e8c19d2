#!/usr/bin/env bash
# fuzz.sh [SECONDS [TARGET...]]: builds the libFuzzer targets with clang, AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs each (or those named) for SECONDS (default 120) on a stack as
# small as a navigation worker's (1 MiB: the program converts pages there). Inputs that
# fail are left in build-fuzz/findings/<target>/; copy them to
# tests/fuzz/regressions/<target>/ once the fault is mended.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-120}
shift || true
targets=${*:-primitives pages classifier channels playlist settings registry script}
"$top/scripts/install-deps.sh"
command -v clang++ >/dev/null || { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq clang libclang-rt-14-dev || sudo apt-get install -y -qq clang libclang-rt-14-dev; }
CC=clang CXX=clang++ "$top/scripts/build.sh" build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLORA_FUZZ=ON \
  -DQUILLORA_SANITIZE=address,undefined,fuzzer-no-link
for target in $targets; do
  corpus="$top/build-fuzz/corpus/$target" findings="$top/build-fuzz/findings/$target"
  mkdir -p "$corpus" "$findings"
  seeds="$top/tests/fuzz/regressions/$target"
  echo "== $target for ${seconds}s"
  (ulimit -s 1024 && "$top/build-fuzz/tests/fuzz/${target}_fuzzer" "$corpus" "$seeds" -max_total_time="$seconds" \
    -max_len=65536 -artifact_prefix="$findings/" -print_final_stats=1 2>&1 | tail -n 12)
done
