#!/usr/bin/env bash
# Installs what is missing, builds, registers the browser component for this
# user and starts the game.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
stage="$build/stage"
if [ -x "$stage/tools/regsvr" ] && [ -f "$stage/RoamwellDLL/libRoamwellDLL.so" ]; then
  "$stage/tools/regsvr" "$stage/RoamwellDLL/libRoamwellDLL.so"
fi
# The web engine refuses its sandbox when run as root.
[ "$(id -u)" -eq 0 ] && export QTWEBENGINE_DISABLE_SANDBOX=1
exec "$stage/Velmor/Velmor"
