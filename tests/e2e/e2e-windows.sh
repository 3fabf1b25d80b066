#!/usr/bin/env bash
# End-to-end checks of the Windows build: the real quarn.exe, started under Wine
# from a folder holding it and its images (as the zip unpacks), on a fresh Xvfb
# per case, driven with xdotool and judged by the title and pixel probes, with
# the harness of the Linux cases (e2e-lib.sh).
#
#   e2e-windows.sh <case>
#
# Environment (set by CTest in build-windows/): QUARN_EXE (quarn.exe),
# QUARN_DATA (font.bmp, sprite.bmp), QUARN_CLOSE and QUARN_CURSOR (the
# WM_DELETE_WINDOW helper and the pointer-image probe of the Linux build), QUARN_WINEPREFIX (the Wine prefix of the test run; each case
# starts a Wine server of its own on its own display and ends it).
# QUARN_ZIP, when set, is unpacked instead of QUARN_EXE and QUARN_DATA. By hand:
#   QUARN_BUILD_DIR=build-windows tests/e2e/e2e-windows.sh menu
set -u

CASE="${1:?usage: e2e-windows.sh <case>}"
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
if [ -n "${QUARN_BUILD_DIR:-}" ]; then
  QUARN_BUILD_DIR=$(cd "$QUARN_BUILD_DIR" && pwd)
  : "${QUARN_EXE:=$QUARN_BUILD_DIR/quarn.exe}" "${QUARN_WINEPREFIX:=$QUARN_BUILD_DIR/wine-prefix}"
fi
: "${QUARN_DATA:=$root/data}" "${QUARN_CLOSE:=$root/build/quarn-e2e-close}"
: "${QUARN_CURSOR:=$root/build/quarn-e2e-cursor}"
: "${QUARN_PRESENT_COUNT:=$(dirname "$QUARN_CLOSE")/quarn-present-count}"
: "${QUARN_EXE:?}" "${QUARN_WINEPREFIX:?}"
export QUARN_WINEPREFIX
WINE_RUN="$root/tests/windows/wine-run.sh"

for tool in wine Xvfb xdotool xwininfo xrandr import; do
  command -v "$tool" >/dev/null || {
    echo "e2e-windows: $tool is missing: install wine wine64 xvfb xdotool x11-utils x11-xserver-utils imagemagick (scripts/install-deps.sh windows)" >&2
    exit 1
  }
done

START_TIMEOUT=15
. "$here/e2e-lib.sh"

# --- What differs from the Linux harness ---------------------------------------
# Wine draws the window's frame itself (no window manager): the X window of the
# game is the whole frame, and the client area is its child window holding the
# OpenGL drawing, at about (4, 23) in a window and at (0, 0) in full screen.
# Probes and pointer moves are in client pixels, as in the Linux cases.

CX=0 CY=0 CW=0 CH=0 CLIENT_WIN=""

client_area() {
  local geometry
  geometry=$(xwininfo -tree -id "$WIN" 2>/dev/null |
    awk '/^ +0x[0-9a-f]+ / && $(NF-1) ~ /^[0-9]+x[0-9]+\+/ {print $1, $(NF-1), $NF; exit}')
  [ -n "$geometry" ] || return 1
  read -r CLIENT_WIN size at <<<"$geometry"
  CW=${size%%x*}
  size=${size#*x}
  CH=${size%%+*}
  at=${at#+}
  CX=${at%%+*}
  CY=${at#*+}
}

eval "$(declare -f find_window | sed '1s/find_window/lib_find_window/')"
eval "$(declare -f wait_reopen | sed '1s/wait_reopen/lib_wait_reopen/')"
eval "$(declare -f point | sed '1s/point/lib_point/')"
# Right after F1 the window found can be the old one on its way out, its client
# area already gone: the search is made again for a while.
with_client_area() {
  local tries=0
  "$@"
  until client_area; do
    tries=$((tries + 1))
    [ $tries -lt 50 ] || fail "no client window inside the game window $WIN"
    sleep 0.05
    "$@"
  done
}
find_window() { with_client_area lib_find_window "$@"; }
wait_reopen() { with_client_area lib_wait_reopen "$@"; }
point() { lib_point $(($1 + CX)) $(($2 + CY)); }

# The OpenGL frames are drawn into the client area's window.
drawing_window() { echo "$CLIENT_WIN"; }

# What the game costs: its own process (quarn.exe, below the runner) and the
# Wine server of this case's prefix, which it asks for its messages and ticks.
descendants() { local child; for child in $(pgrep -P "$1"); do echo "$child"; descendants "$child"; done; }
cost_pids() {
  local pid game="" server=""
  for pid in $(descendants "$GAME_PID"); do
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = quarn.exe ] && game=$pid
  done
  for pid in $(pgrep -x 'wineserver(64)?'); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$QUARN_WINEPREFIX" && server=$pid
  done
  [ -n "$game" ] && [ -n "$server" ] && echo "$game $server"
}

shoot() {
  import -window root -crop "${CW}x${CH}+${CX}+${CY}" +repage "${1:-$SHOT}" 2>/dev/null ||
    fail "screenshot of the client area failed"
}

expect_client() {
  local at="$1"
  [ "$CW,$CH" = "800,600" ] || fail "client area ${CW}x$CH, wanted 800x600"
  [ "$CX,$CY" = "$at" ] || fail "client area at ($CX,$CY), wanted ($at)"
}

# The pointer's image as the server shows it, into POINTER:
# "<serial> <visible pixels> <width>x<height>".
read_pointer() {
  [ -x "$QUARN_CURSOR" ] || fail "no pointer-image probe $QUARN_CURSOR: build the Linux build (build/) first"
  POINTER=$("$QUARN_CURSOR") && [ -n "$POINTER" ] || fail "cannot read the pointer's image"
}

# The game draws no pointer of its own, so over its window the system's must
# show. Wine gives the window a cursor of its own as the pointer moves in: the
# arrow, or a cursor with no visible pixel where the pointer is hidden. Until
# then the root's (serial $1) shows through, which proves nothing.
expect_pointer_shown() {
  local bare=$1 serial visible
  local end=$(( $(date +%s%N) + 5 * 1000000000 ))
  while :; do
    read_pointer
    read -r serial visible _ <<<"$POINTER"
    [ "$serial" != "$bare" ] && break
    [ "$(date +%s%N)" -lt "$end" ] || fail "the pointer over the game still has the root's cursor after 5 s"
    sleep 0.1
  done
  [ "$visible" -gt 0 ] || fail "the pointer is hidden over the game: its cursor (serial, visible pixels, size) is $POINTER"
  log "pointer over the game: cursor $POINTER"
}

# The zip's layout: quarn.exe beside its two images.
prepare_data() {
  mkdir -p "$T/run"
  if [ -n "${QUARN_ZIP:-}" ]; then
    [ "$(unzip -Z1 "$QUARN_ZIP" | sort | tr '\n' ' ')" = "LICENSE.txt README.txt font.bmp quarn.exe sprite.bmp " ] ||
      fail "the zip holds: $(unzip -Z1 "$QUARN_ZIP" | tr '\n' ' ')"
    unzip -q -o "$QUARN_ZIP" -d "$T/run" || fail "cannot unpack $QUARN_ZIP"
    # For Notepad: every line of the texts ends in CR LF.
    ! grep -lv $'\r$' "$T/run/README.txt" "$T/run/LICENSE.txt" >"$T/lf-only" || fail "lines without CR LF in: $(cat "$T/lf-only")"
  else
    cp "$QUARN_EXE" "$T/run/quarn.exe" && cp "$QUARN_DATA/font.bmp" "$QUARN_DATA/sprite.bmp" "$T/run/" ||
      fail "cannot lay out the game folder"
  fi
}

start_game() {
  (cd "$T/run" && exec env "$@" "$WINE_RUN" ./quarn.exe >"$T/game.out" 2>"$T/game.err") &
  GAME_PID=$!
}

# The runner's timeout passes a TERM on to Wine; whatever is still there after
# the harness's grace goes by its id.
stop_game_process() {
  [ -n "$GAME_PID" ] || return 0
  local child
  for child in $(pgrep -P "$GAME_PID"); do kill -KILL "$child" 2>/dev/null; done
  { wait "$GAME_PID"; } 2>/dev/null
  GAME_PID=""
}
# The Wine server keeps the display modes of the X server it first served: each
# case has its own, started on the case's display and ended with it.
stop_wine() { "$WINE_RUN" --stop; }
trap 'stop_game_process; stop_wine; cleanup' EXIT
# A server left by earlier programs (the unit tests, a case before) serves
# another display: this case starts its own.
stop_wine

WINDOWED_AT="4,23"

# --- The cases ----------------------------------------------------------------

case_window() {
  start_xvfb; prepare_data
  local t0 ms
  t0=$(date +%s%N)
  start_game
  find_window 15
  ms=$(( ($(date +%s%N) - t0) / 1000000 ))
  [ "$(title)" = "quarn" ] || fail "first title '$(title)', wanted 'quarn'"
  expect_client "$WINDOWED_AT"
  expect_menu
  log "start to the visible window: $ms ms; to the menu seen in a screenshot: $(( ($(date +%s%N) - t0) / 1000000 )) ms"
  wait_title '^ \[ FPS - [1-9][0-9]* \] $' 3
  log "title: '$(title)'"
}

case_fullscreen() {
  start_xvfb; add_800x600_mode; prepare_data
  read_pointer
  local bare=${POINTER%% *}
  start_game
  find_window 15
  expect_menu
  to_play
  wait_title '^ \[ FPS' 3
  hold_key F1
  wait_reopen
  [ "$(screen_size)" = "800x600" ] || fail "screen is $(screen_size) in full screen, wanted 800x600"
  expect_client "0,0"
  point 10 300
  wait_colours 10 "the play screen in full screen" "$SKY" "$BOTTOM_BAR"
  expect_pointer_shown "$bare"
  wait_title '^ \[ FPS - [1-9]' 3
  hold_key F1
  wait_reopen
  [ "$(screen_size)" = "1024x768" ] || fail "screen is $(screen_size) after leaving full screen, wanted 1024x768"
  expect_client "$WINDOWED_AT"
  wait_colours 10 "the play screen windowed again" "$SKY" "$BOTTOM_BAR"
  [ -z "$(error_box)" ] || fail "an \"Error\" box is up"
}

# No 800 x 600 mode: "Unable to switch to fullscreen!", then a window as before.
case_fullscreen_refused() {
  start_xvfb; prepare_data; start_game
  find_window 15
  expect_menu
  wait_title '^ \[ FPS' 3
  hold_key F1
  wait_error_box 10
  dismiss_error_box
  wait_reopen
  expect_client "$WINDOWED_AT"
  [ "$(screen_size)" = "1024x768" ] || fail "screen is $(screen_size), wanted it untouched"
  expect_menu
  wait_title '^ \[ FPS - [1-9]' 3
}

type "case_$CASE" >/dev/null 2>&1 || { echo "unknown case: $CASE" >&2; exit 2; }
"case_$CASE"
PASSED=1
log "passed"
