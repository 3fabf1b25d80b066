#!/usr/bin/env bash
# Times the scripted play session through the real screens in an offscreen
# context. Usage: bench/timedemo.sh [build folder] (default: build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
cd "$root/data"
exec "$build/quarn-replay" --seed 2 --full --timedemo --script "$root/bench/play_session.script"
