#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test layer:
# unit (also under AddressSanitizer + UndefinedBehaviorSanitizer), render, e2e, soak, fuzz,
# the Windows build's under Wine: unit-windows, trace-windows, e2e-windows; and the
# browser build's in headless Chromium and Firefox ESR: frames-web, e2e-web.
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
(cd build && ctest --output-on-failure -j"$jobs")

# The Windows layers: the cross build and its zip, the unit tests under Wine, the
# traces against the Linux build's, and the zip's quarn.exe end to end. One Wine
# prefix for the run (build-windows/wine-prefix); its server ends with the run.
scripts/build-windows.sh
export QUARN_WINEPREFIX="$PWD/build-windows/wine-prefix"
trap 'tests/windows/wine-run.sh --stop' EXIT
echo "== Windows unit tests under Wine"
(cd build-windows && ctest -L unit-windows --output-on-failure -j"$jobs")
echo "== Windows traces against the Linux build's"
(cd build-windows && ctest -L trace-windows --output-on-failure)
echo "== Windows end to end (Wine, Xvfb)"
(cd build-windows && QUARN_ZIP="$PWD/../dist/quarn-windows-x64.zip" ctest -L e2e-windows --output-on-failure)

# The browser layers: dist/quarn.html and the replay tool's page (build-web/),
# their frames against the Linux build's, and the page played, in headless
# Chromium and Firefox ESR. npm fetches the pinned puppeteer-core into
# build-web/web-tests.
scripts/build-web.sh
echo "== browser frames against the Linux build's, and the page end to end (Chromium, Firefox)"
(cd build-web && ctest -L 'frames-web|e2e-web' --output-on-failure)
