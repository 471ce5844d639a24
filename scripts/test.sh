#!/usr/bin/env bash
# Builds Marvisk and runs every test: in the release build, then under
# AddressSanitizer and UndefinedBehaviorSanitizer; then Quorlan and its tests,
# the one part with threads, under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
marvisk_ensure_packages $MARVISK_RUN_PACKAGES $MARVISK_TEST_PACKAGES

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

for preset in release-tests sanitize thread-sanitize; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset tests"
  ctest --preset "$preset" -j "$jobs"
done
