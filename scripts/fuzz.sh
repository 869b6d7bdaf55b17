#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, runs the tests in that build, then runs each
# fuzz target for FUZZ_SECONDS seconds (60 by default).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

seconds="${FUZZ_SECONDS:-60}"
build=build-asan

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVELMORA_SANITIZE=ON -DVELMORA_FUZZ=ON -DVELMORA_BENCH=OFF -DVELMORA_WERROR=ON
cmake --build "$build"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure

for target in "$build"/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  subject=${name#fuzz_}
  corpus="$build/corpus/$subject"
  mkdir -p "$corpus"
  seeds=()
  if [ -d "fuzz/corpus/$subject" ]; then seeds=("fuzz/corpus/$subject"); fi
  dict=()
  if [ -f "fuzz/$subject.dict" ]; then dict=("-dict=fuzz/$subject.dict"); fi
  echo "fuzz: $name for ${seconds}s"
  log="$build/$name.log"
  if ! "$target" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    tail -n 60 "$log" >&2
    echo "fuzz: $name failed" >&2
    exit 1
  fi
  tail -n 12 "$log"
done
echo "fuzz: all targets clean"
