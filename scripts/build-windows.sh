#!/usr/bin/env bash
# The Windows game: cross-built with mingw-w64 into build-windows/ (the game,
# its replay tool and the window-free unit tests) and packed as
# dist/quarn-windows-x64.zip: quarn.exe, font.bmp, sprite.bmp, README.txt and
# LICENSE.txt.
# Installs the cross toolchain, Wine and zip first if they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows
jobs=$(nproc)
[ "$jobs" -le 2 ] || jobs=2

echo "== Windows build (mingw-w64)"
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-windows -j"$jobs"

echo "== dist/quarn-windows-x64.zip"
stage=$(mktemp -d "${TMPDIR:-/tmp}/quarn-windows.XXXXXX")
trap 'rm -rf "$stage"' EXIT
# The debug information stays in build-windows/quarn.exe.
x86_64-w64-mingw32-strip -o "$stage/quarn.exe" build-windows/quarn.exe
cp data/font.bmp data/sprite.bmp "$stage/"
# Notepad wants CRLF line ends.
sed 's/\r*$/\r/' packaging/windows/README.txt >"$stage/README.txt"
sed 's/\r*$/\r/' LICENSE >"$stage/LICENSE.txt"
mkdir -p dist
rm -f dist/quarn-windows-x64.zip
(cd "$stage" && zip -q -X "$OLDPWD/dist/quarn-windows-x64.zip" quarn.exe font.bmp sprite.bmp README.txt LICENSE.txt)
unzip -l dist/quarn-windows-x64.zip
