#!/usr/bin/env bash
# Builds Marvisk and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
marvisk_ensure_packages
cmake -S . -B build/release -DMARVISK_BENCHMARKS=OFF >/dev/null
cmake --build build/release -j "$(nproc)" --target marvisk
exec build/release/bin/marvisk "$@"
