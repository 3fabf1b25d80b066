#!/usr/bin/env bash
# Installs the Debian packages a task needs, and only those that are missing.
#   scripts/install-deps.sh play   build and run the game
#   scripts/install-deps.sh package  build the release and make the Debian package
#   scripts/install-deps.sh test   build everything and run every test layer
#   scripts/install-deps.sh windows  cross-build the Windows game and test it under Wine
#   scripts/install-deps.sh web    build the browser game (Emscripten) and test it in Chromium, Firefox and WebKit
# As root it runs apt-get; otherwise it prints the exact command to run and fails.
set -euo pipefail

want="${1:-test}"
# xfonts-base: SDL draws its error boxes with the X core fonts; without them a
# player would get the game's failures on stderr only. libgles-dev: the window
# draws through the GL 1.1 layer on OpenGL ES 3, at about half the cost of the
# system's OpenGL on a software rasterizer.
play=(cmake make g++ pkg-config libsdl2-dev libgl-dev libopengl-dev libglx-dev libegl-dev libgles-dev libx11-dev
      libxrandr-dev libwayland-dev libgl1-mesa-dri libegl-mesa0 libglx-mesa0 xfonts-base)
# cpack's Debian generator: dpkg-shlibdeps (dpkg-dev) works out Depends, file
# finds the programs among the files, strip (binutils) slims them.
package=("${play[@]}" dpkg-dev file binutils)
# Wine loads OpenGL and the X extensions (display modes, input, cursors) and
# FreeType at run time; Debian only recommends them.
windows=(cmake make g++ g++-mingw-w64-x86-64 libgtest-dev zip unzip wine wine64
         libgl1 libgl1-mesa-dri libglx-mesa0 libxrandr2 libxrender1 libxi6 libxcursor1 libxfixes3
         libxinerama1 libxcomposite1 libxxf86vm1 libfreetype6 libfontconfig1
         xvfb xdotool x11-utils x11-xserver-utils imagemagick)
# Emscripten 3.1.6 brings its clang, binaryen and node; the browser cases run
# in Debian's Chromium and Firefox ESR, driven from node (npm fetches
# puppeteer-core), and in WebKitGTK's MiniBrowser through WebKitWebDriver.
# Firefox and WebKit have WebGL 2 only with a display: they run under Xvfb;
# xdotool takes the focus from WebKit's window for the case that needs that.
web=(cmake make emscripten chromium firefox-esr webkit2gtk-driver xvfb xdotool)
# npm: Debian's own package, unless the machine's node already brings one (a
# node from elsewhere that provides npm conflicts with Debian's).
command -v npm >/dev/null 2>&1 || web+=(npm)
# Every layer, the Windows and browser ones included.
# libxfixes-dev: the end-to-end pointer-image probe; desktop-file-utils,
# appstream, lintian: the checks of the installed tree and the Debian package;
# libxdamage-dev, libxtst-dev: the frame counter of the e2e cases
# and the benchmarks (bench/present-rate.sh), which also presses keys.
# weston (nested in Xvfb) with the decorations' close box SDL gets from
# libdecor (libdecor-0-plugin-1-cairo), mutter (headless, as GNOME runs),
# xwayland, dbus-daemon (dbus-run-session): the cases of the Wayland desktops.
test=("${package[@]}" "${windows[@]}" "${web[@]}" libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
      xvfb xdotool x11-utils x11-xserver-utils imagemagick libxfixes-dev desktop-file-utils appstream
      lintian libxdamage-dev libxtst-dev weston libdecor-0-plugin-1-cairo mutter xwayland dbus-daemon)

case "$want" in
  play) packages=("${play[@]}") ;;
  package) packages=("${package[@]}") ;;
  test) packages=("${test[@]}") ;;
  windows) packages=("${windows[@]}") ;;
  web) packages=("${web[@]}") ;;
  *) echo "usage: $0 play|package|windows|web|test" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
