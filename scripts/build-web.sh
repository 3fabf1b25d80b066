#!/usr/bin/env bash
# The browser game: built with Emscripten into build-web/ and written as one
# self-contained page, dist/quarn.html (the WebAssembly, the JavaScript and
# both pictures inside), which plays opened from disk or from any static host.
# Installs Emscripten first if it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh web
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
# Debian's Emscripten runs its optimiser on the machine's node, which finds
# acorn only among Debian's node modules.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

echo "== browser build (Emscripten)"
emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-web -j"$jobs"

mkdir -p dist
cp build-web/quarn.html dist/quarn.html
size=$(stat -c %s dist/quarn.html)
echo "wrote dist/quarn.html ($size bytes)"
[ "$size" -lt 2097152 ] || { echo "dist/quarn.html is over 2 MB" >&2; exit 1; }
