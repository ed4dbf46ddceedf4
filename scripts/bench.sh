#!/usr/bin/env bash
# Builds the native benchmarks and runs them once, side by side, with medians.
#   scripts/bench.sh [extra Google Benchmark flags]
set -eu
cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh all
cmake --preset native >/dev/null
cmake --build --preset native --target gif_bench picture_bench effect_bench effect_bench_scalar -- -j2 >/dev/null
flags=(--benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_color=false "$@")
echo "== $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)"
build/native/bench/image/gif_bench "${flags[@]}"
build/native/bench/image/picture_bench "${flags[@]}"
build/native/bench/effect/effect_bench "${flags[@]}"
# The same frames with the kernels as the release compiles them (scalar, no SSE2).
build/native/bench/effect/effect_bench_scalar --benchmark_filter='BM_(Frame|Bump)' "${flags[@]}"
