#!/usr/bin/env bash
# Builds Marvisk and runs every test: once in the normal build, once under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
marvisk_ensure_packages

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

for variant in release sanitize; do
  dir=build/$variant
  sanitize=OFF; [ "$variant" = sanitize ] && sanitize=ON
  echo "== $variant build"
  cmake -S . -B "$dir" -DMARVISK_SANITIZE=$sanitize -DMARVISK_BENCHMARKS=$([ $variant = release ] && echo ON || echo OFF) >/dev/null
  cmake --build "$dir" -j "$jobs"
  echo "== $variant tests"
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$dir" --output-on-failure -j "$jobs"
done
