#!/usr/bin/env bash
# Times the scripted play session through the real screens in an offscreen
# context: desktop OpenGL, then (when built) the GL 1.1 layer on OpenGL ES 3.
# Usage: bench/timedemo.sh [build folder] (default: build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
cd "$root/data"
echo "== desktop OpenGL (quarn-replay)"
"$build/quarn-replay" --seed 2 --full --timedemo --script "$root/bench/play_session.script"
if [ -x "$build/quarn-replay-gles" ]; then
  echo "== GL 1.1 layer on OpenGL ES 3 (quarn-replay-gles)"
  "$build/quarn-replay-gles" --seed 2 --full --timedemo --script "$root/bench/play_session.script"
else
  echo "== no quarn-replay-gles in $build (needs libgles-dev): the layer is not timed"
fi
