#!/usr/bin/env bash
# Builds the benchmarks with optimisation, runs them (five repetitions each, interleaved
# so that a figure and its baseline see the same machine), and prints the figures table
# the README shows. The results stay in build-bench/results/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
command -v python3 >/dev/null || { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq python3 || sudo apt-get install -y -qq python3; }
"$top/scripts/build.sh" build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQUILLORA_BENCH=ON
results="$top/build-bench/results"
mkdir -p "$results"
# Sounds off and transitions without their frame pauses: the figures are the drawing.
export QUILLORA_NO_SOUND=1 QUILLORA_TRANSITION_FRAME_MS=0 QUILLORA_NO_PLAYER=1
for bench in foundation_bench conversion_bench ui_bench toolkit_bench browser_bench app_bench program_bench; do
  "$top/build-bench/bench/$bench" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_out="$results/$bench.json" --benchmark_out_format=json "$@"
done
python3 "$top/scripts/bench-table.py" "$results"
