#!/usr/bin/env bash
# The sanitizer run: builds the project with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/ (override with
# SANITIZE_BUILD_DIR) and runs every test that does not load the web engine,
# whose own code reports false positives; the fuzz corpora run among them.
# Any report in the project's code fails the run. Leaks inside system
# libraries are suppressed in scripts/lsan-suppressions.txt, each with its reason.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SANITIZE_BUILD_DIR:-$root/build-sanitize}"
jobs="${JOBS:-$(nproc)}"
"$root/scripts/install-deps.sh"
BUILD_DIR="$build" JOBS="$jobs" "$root/scripts/build.sh" -DPLAT_SANITIZE=ON

export ASAN_OPTIONS="halt_on_error=1:abort_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="halt_on_error=1:abort_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan-suppressions.txt:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure --parallel "$jobs" --timeout 900 --label-exclude webengine "$@"
