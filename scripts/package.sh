#!/usr/bin/env bash
# Makes the packages for players in dist/:
#   dist/quarn_<version>_<arch>.deb   the Linux release as a Debian package
#                                     (built in build-package/, tests off)
#   dist/quarn-windows-x64.zip        the Windows build, by scripts/build-windows.sh
#   dist/quarn.html                   the browser build, one page, by scripts/build-web.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
scripts/install-deps.sh package
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
# The staging folders that cpack packs keep the umask's modes for what the
# install rules do not set themselves.
umask 022

echo "== Linux release and its Debian package"
# Only the game goes into the package: cpack need not build the tools first.
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DQUARN_TESTS=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build build-package -j"$jobs" --target quarn
rm -rf build-package/cpack
(cd build-package && cpack -G DEB -B "$root/build-package/cpack")
mkdir -p dist
rm -f dist/quarn_*.deb dist/quarn-windows-x64.zip dist/quarn.html
deb=$(ls build-package/cpack/quarn_*.deb)
cp "$deb" dist/
echo "wrote dist/$(basename "$deb")"

echo "== Windows zip"
if [ -f scripts/build-windows.sh ]; then
  bash scripts/build-windows.sh
  [ -f dist/quarn-windows-x64.zip ] || { echo "scripts/build-windows.sh wrote no dist/quarn-windows-x64.zip" >&2; exit 1; }
  echo "wrote dist/quarn-windows-x64.zip"
else
  echo "no scripts/build-windows.sh in this tree: no Windows zip made" >&2
fi
echo "== Browser page"
bash scripts/build-web.sh
ls -l dist/
