#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it from data/ (it reads
# its two images from the working directory).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh play
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARN_TESTS=OFF >/dev/null
cmake --build build -j"$(nproc)" --target quarn
cd data
exec ../build/quarn
