#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test layer:
# unit (also under AddressSanitizer + UndefinedBehaviorSanitizer), render, e2e, soak, fuzz.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
jobs=$(nproc)

echo "== build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

echo "== unit tests under ASan + UBSan"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DQUARN_SANITIZE=ON -DQUARN_UNIT_ONLY=ON >/dev/null
cmake --build build-asan -j"$jobs"
(cd build-asan && ctest -L unit --output-on-failure -j"$jobs")

if [ -f fuzz/CMakeLists.txt ]; then
  echo "== fuzz build (clang, libFuzzer)"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARN_FUZZ=ON \
    -DQUARN_UNIT_ONLY=OFF >/dev/null
  cmake --build build-fuzz -j"$jobs" --target quarn_fuzz_targets
  (cd build-fuzz && ctest -L fuzz --output-on-failure)
fi

echo "== all tests"
cd build
ctest --output-on-failure -j"$jobs"
