#!/usr/bin/env bash
# Configures and builds into build/ (override with BUILD_DIR), as
# RelWithDebInfo (BUILD_TYPE) with one job a core (JOBS). Arguments go to
# the configure step (-DPLAT_SANITIZE=ON ...); BUILD_TARGETS, when set,
# names the only targets to build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "$@" >/dev/null
targets=()
for t in ${BUILD_TARGETS:-}; do
  targets+=(--target "$t")
done
cmake --build "$build" --parallel "${JOBS:-$(nproc)}" "${targets[@]}"
