#!/usr/bin/env bash
# The GL 1.1 layer compiled with Emscripten (warnings as errors) and linked for
# WebGL 2 with no undefined symbol. Libraries for native OpenGL ES offer calls
# that WebGL 2 does not have (glMapBufferRange, for one); only this link finds
# them before the browser build does. Usage: web-link.sh <source root> <scratch folder>
set -euo pipefail
root="$1"
out="$2"
if ! command -v em++ >/dev/null; then
  echo "em++ not found (Debian package emscripten): the layer's WebGL 2 link is not checked"
  exit 77
fi
mkdir -p "$out"
# Node's modules for Emscripten's JavaScript compiler, as Debian installs them.
export NODE_PATH="${NODE_PATH:-/usr/share/nodejs}"
em++ -std=c++17 -Wall -Wextra -Werror -fno-fast-math -I"$root/src" \
  "$root/tests/gl11/WebLink.cpp" "$root/src/gl11/GL11.cpp" "$root/src/gl11/Gl11Table.cpp" "$root/src/gl11/GlTable.cpp" \
  -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2 -sERROR_ON_UNDEFINED_SYMBOLS=1 -o "$out/weblink.js"
echo "the layer links for WebGL 2"
