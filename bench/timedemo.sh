#!/usr/bin/env bash
# Times the scripted play session through the real screens in an offscreen
# context: desktop OpenGL, then the GL 1.1 layer on OpenGL ES 3 (where the
# build has it: libgles-dev).
# Usage: bench/timedemo.sh [build folder] (default: build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
cd "$root/data"
for gl in desktop layer; do
  echo "== $gl OpenGL (quarn-replay --gl $gl)"
  "$build/quarn-replay" --seed 2 --full --gl "$gl" --timedemo --script "$root/bench/play_session.script" ||
    echo "== the GL 1.1 layer is not timed: this build has none (needs libgles-dev)"
done
