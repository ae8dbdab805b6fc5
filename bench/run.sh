#!/usr/bin/env bash
# Builds and runs every benchmark, printing each figure beside its target.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
BUILD_TYPE=Release "$root/scripts/build.sh"
bin="$build/bin"
export QTWEBENGINE_DISABLE_SANDBOX=1

echo "== start-up"
"$bin/bench_startup" 15
