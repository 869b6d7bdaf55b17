#!/usr/bin/env bash
# Builds the benchmarks in release mode and runs them; extra arguments go to
# every benchmark binary (for instance --benchmark_repetitions=3).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELMORA_TESTS=OFF
cmake --build build-release
for bench in build-release/bench/bench_*; do
  [ -f "$bench" ] && [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" "$@"
done
