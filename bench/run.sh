#!/usr/bin/env bash
# Builds and runs every benchmark, printing each figure beside its target.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# A build folder of its own: a Release build in the tests' folder would make
# the next test run build everything again.
export BUILD_DIR="${BUILD_DIR:-$root/build-release}"
build="$BUILD_DIR"
BUILD_TYPE=Release "$root/scripts/build.sh"
bin="$build/bin"
export QTWEBENGINE_DISABLE_SANDBOX=1

echo "== start-up"
"$bin/bench_startup" 15

echo "== registry: regsvr beside 100,000 other keys (target under 2000 ms)"
"$bin/bench_registry" 7

echo "== engine: one gravity tick, one hard drop, a drop removing four rows (repaint included; target under 1000 us each)"
if [ -x "$bin/bench_engine" ]; then
  QT_QPA_PLATFORM=offscreen "$bin/bench_engine" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
    2>&1 | grep -v "does not support raise"
else
  echo "bench_engine not built (Google Benchmark not found)"
fi

echo "== opening the browser window"
"$bin/bench_browser_open" 9

echo "== browser window idle on a loaded local page (target under 1 % of one core over 10 s)"
# Offscreen, and on a private X server whose OpenGL is software: there every
# repaint in the window (the address box's blinking caret) recomposites it
# on the CPU, which a desktop's graphics card does instead.
QT_QPA_PLATFORM=offscreen "$bin/bench_browser_idle" 10 2>&1 | grep "^browser idle" || echo "bench_browser_idle failed"
if command -v xvfb-run >/dev/null; then
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "$bin/bench_browser_idle" 10 2>&1 \
    | grep "^browser idle" || echo "bench_browser_idle failed"
fi
