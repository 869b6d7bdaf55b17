#!/usr/bin/env bash
# The large-list and statistics benchmarks on catalogs of 100,000 and of
# 10,000 figures (made once by make_catalog.py in FOLDER, default
# build-release/bench-catalogs: about 5.4 GB and 0.55 GB). Run scripts/bench.sh once first, or build
# build-release yourself.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build-release/bench-catalogs}
for figures in 100000 10000; do
  python3 bench/make_catalog.py "$figures" "$folder/$figures"
  echo "== bench_large_list, $figures figures"
  build-release/bench/bench_large_list --catalog="$folder/$figures"
  echo "== bench_stats, $figures figures"
  build-release/bench/bench_stats --catalog="$folder/$figures"
done
