#!/usr/bin/env bash
# Builds the benchmarks with optimisation and runs them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQUILLORA_BENCH=ON
for bench in foundation_bench conversion_bench ui_bench toolkit_bench browser_bench app_bench program_bench; do
  "$top/build-bench/bench/$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
done
