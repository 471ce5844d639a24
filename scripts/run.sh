#!/usr/bin/env bash
# Builds Marvisk (the release preset) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
marvisk_ensure_packages $MARVISK_RUN_PACKAGES
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"
exec build/release/bin/marvisk "$@"
