#!/usr/bin/env bash
# Builds the benchmarks with optimisation and runs them.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQUILLORA_BENCH=ON
"$top/build-bench/bench/foundation_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
