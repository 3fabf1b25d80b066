#!/usr/bin/env bash
# End-to-end checks of the real game under a real X server (Xvfb), driven with
# real X input (xdotool) and judged by the window title and pixel probes of
# screenshots (ImageMagick).
#
#   e2e.sh <case>
#
# Environment (set by CTest): QUARN_BIN (the game), QUARN_DATA (the folder with
# font.bmp and sprite.bmp), QUARN_CLOSE (the WM_DELETE_WINDOW helper),
# QUARN_BUILD_DIR (the build folder; by hand, it alone is enough), QUARN_VERSION
# (the project's version, which the package case looks for in the file name).
# Every case starts its own server on a free display number, so cases can run
# side by side. A failed case keeps its folder (screenshots, game output).
#
#   QUARN_BUILD_DIR=build tests/e2e/e2e.sh figures
# prints the frame rates, start-up time, memory and CPU figures of the game;
# bench/present-rate.sh compares the frame rates with the Windows build's.
set -u

CASE="${1:?usage: e2e.sh <case>}"
if [ -n "${QUARN_BUILD_DIR:-}" ]; then
  QUARN_BUILD_DIR=$(cd "$QUARN_BUILD_DIR" && pwd)
  : "${QUARN_BIN:=$QUARN_BUILD_DIR/quarn}" "${QUARN_CLOSE:=$QUARN_BUILD_DIR/quarn-e2e-close}"
  : "${QUARN_VERSION:=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$QUARN_BUILD_DIR/CMakeCache.txt")}"
fi
: "${QUARN_DATA:=$(cd "$(dirname "$0")/../../data" && pwd)}"
: "${QUARN_BIN:?}" "${QUARN_DATA:?}" "${QUARN_CLOSE:?}"
: "${QUARN_PRESENT_COUNT:=${QUARN_BUILD_DIR:-$(dirname "$QUARN_CLOSE")}/quarn-present-count}"

. "$(dirname "$0")/e2e-lib.sh"

# --- The cases ----------------------------------------------------------------

case_window() {
  start_xvfb; prepare_data; start_game
  local t0; t0=$(date +%s%N)
  find_window 10
  [ "$(title)" = "quarn" ] || fail "first title '$(title)', wanted 'quarn'"
  if [ "$DESKTOP" = x11 ]; then xprop -id "$WIN" WM_NAME | grep -q '"quarn"' || fail "WM_NAME is not \"quarn\""; fi
  expect_geometry
  wait_title '^ \[ FPS - [1-9][0-9]* \] $' 3
  log "frame-rate title after $(( ($(date +%s%N) - t0) / 1000000 )) ms: '$(title)'"
}

# Full screen switches the X server to 800 x 600; back in a window the
# desktop has its 1024 x 768 again.
expect_full_screen() {
  [ "$(screen_size)" = "800x600" ] || fail "screen is $(screen_size) in full screen, wanted 800x600"
}
expect_desktop_mode() {
  [ "$(screen_size)" = "1024x768" ] || fail "screen is $(screen_size) after leaving full screen, wanted 1024x768"
}

case_fullscreen() {
  start_xvfb; add_800x600_mode; prepare_data; start_game
  find_window 10
  expect_menu
  to_play
  wait_title '^ \[ FPS' 3
  hold_key F1
  wait_reopen
  expect_full_screen
  point 10 300
  wait_colours 10 "the play screen in full screen" "$SKY" "$BOTTOM_BAR"
  expect_geometry
  wait_title '^ \[ FPS - [1-9]' 3
  hold_key F1
  wait_reopen
  expect_desktop_mode
  expect_geometry
  wait_colours 10 "the play screen windowed again" "$SKY" "$BOTTOM_BAR"
  wait_title '^ \[ FPS - [1-9]' 3
  [ -z "$(error_box)" ] || fail "an \"Error\" box is up"
}

# A display without 800 x 600: the box, then the game goes on in a window.
case_fullscreen_refused() {
  start_xvfb; prepare_data; start_game
  find_window 10
  expect_menu
  hold_key F1
  wait_error_box 10
  dismiss_error_box
  find_window 10
  expect_geometry
  [ "$(screen_size)" = "1024x768" ] || fail "screen is $(screen_size), wanted it untouched"
  expect_menu
  wait_title '^ \[ FPS - [1-9]' 3
  # The loop's flag stayed set, so the next F1 asks for a window: no box this time.
  hold_key F1
  wait_reopen
  expect_menu
  sleep 0.3
  [ -z "$(error_box)" ] || fail "a box came up on the way back to a window"
}

# Starts the game and switches it to full screen (the server has the mode).
start_in_full_screen() {
  start_game
  find_window 10
  expect_menu
  wait_title '^ \[ FPS' 3
  hold_key F1
  wait_reopen
  expect_full_screen
}

# Ending in full screen gives the desktop its mode back: by "exit", and by a
# fatal image error (the process ends inside the game's setup).
case_fullscreen_exit() {
  start_xvfb; add_800x600_mode; prepare_data
  start_in_full_screen
  expect_menu
  click 400 350
  wait_exit 10
  [ "$STATUS" = 0 ] || fail "status $STATUS after \"exit\" in full screen"
  [ "$(screen_size)" = "1024x768" ] || fail "screen left at $(screen_size) after the game ended"

  start_game
  find_window 10
  expect_menu
  rm "$T/run/sprite.bmp"
  hold_key F1
  wait_error_box 10
  [ "$(screen_size)" = "800x600" ] || fail "screen is $(screen_size) while the box is up, wanted 800x600"
  dismiss_error_box
  wait_exit 10
  [ "$STATUS" = 2 ] || fail "status $STATUS for a sprite.bmp gone before F1, wanted 2"
  [ "$(screen_size)" = "1024x768" ] || fail "screen left at $(screen_size) after the runtime error"
}

# A larger client area shows the scene at the same scale from the top-left
# corner, and the pointer still hits what is drawn under it.
case_resize() {
  start_xvfb; prepare_data; start_game
  find_window 10
  expect_menu
  xdotool windowsize "$WIN" 1000 700
  local w=0
  until [ "$(xwininfo -id "$WIN" | awk '/Width:/ {print $NF}')" = 1000 ]; do
    w=$((w + 1)); [ $w -lt 100 ] || fail "the window did not take the new size"; sleep 0.05
  done
  wait_colours 6 "the menu in a 1000 x 700 window" "$GAME_IDLE" "$EXIT_IDLE" "950 650 0 128 0" "499 200 0 230 0" "501 200 0 128 0"
  point 450 240
  wait_colours 6 "the game button under the pointer" "$GAME_HOVER" "$EXIT_IDLE"
}

# Without the focus the loop draws nothing and keeps the title; with it back,
# frames come again. Inactive (and asleep), it still ends at once when asked.
case_inactive() {
  start_xvfb; prepare_data; start_game
  find_window 10
  expect_menu
  wait_title '^ \[ FPS - [1-9]' 3
  local root; root=$(xwininfo -root | awk '/Window id:/ {print $4}')
  xdotool windowfocus "$root"
  wait_no_frames 0.5 10 "frames kept coming after the game lost the focus"
  local frozen; frozen=$(title)
  point 400 200  # the pointer still reaches the game, but no frame shows it
  local drawn; drawn=$(presented_frames 1.5)
  [ "$drawn" = 0 ] || fail "$drawn frames were drawn while inactive"
  shoot
  near "$(rgb 400 200)" 0 230 0 || fail "a frame was drawn while inactive: game button is $(rgb 400 200)"
  [ "$(title)" = "$frozen" ] || fail "the title changed while inactive: '$frozen' -> '$(title)'"
  focus
  wait_colours 6 "the game button once active again" "$GAME_HOVER"
  wait_title '^ \[ FPS - [0-9]+ \] $' 3
  xdotool windowfocus "$root"
  wait_no_frames 0.5 10 "frames kept coming after the game lost the focus again"
  "$QUARN_CLOSE" "$WIN" || fail "the close helper failed"
  wait_exit 2
  [ "$STATUS" = 0 ] || fail "status $STATUS after a close request while inactive, wanted 0"
}

# The pointer is never captured: a release outside the window is not seen, so
# the press stays latched and acts on the first button the pointer comes to.
case_no_capture() {
  start_xvfb; prepare_data; start_game
  find_window 10
  expect_menu
  point 700 500
  xdotool mousedown 1
  sleep 0.25
  point 950 500
  sleep 0.1
  xdotool mouseup 1
  sleep 0.25
  point 400 200
  wait_colours 6 "the play screen from the latched press" "$SKY" "$BOTTOM_BAR"
}

# QUARN_SEED: the same seed gives the same world; a bad value is ignored with a warning.
case_seed() {
  start_xvfb; prepare_data
  local n
  for n in 1 2; do
    start_game QUARN_SEED=424242
    find_window 10
    expect_menu
    to_play
    wait_still 10
    cp "$SHOT" "$T/seed-$n.png"
    "$QUARN_CLOSE" "$WIN"; wait_exit 10
  done
  [ "$(differing_pixels "$T/seed-1.png" "$T/seed-2.png")" = 0 ] || fail "QUARN_SEED=424242 gave two different worlds"
  start_game QUARN_SEED=4294967296
  find_window 10
  grep -q 'QUARN_SEED' "$T/game.err" || fail "no warning for QUARN_SEED=4294967296"
  expect_menu
  "$QUARN_CLOSE" "$WIN"; wait_exit 10
  [ "$STATUS" = 0 ] || fail "status $STATUS"
}

case_no_display() {
  mkdir -p "$T/run"; cp "$QUARN_DATA/font.bmp" "$QUARN_DATA/sprite.bmp" "$T/run/"
  local t0 ms
  t0=$(date +%s%N)
  (cd "$T/run" && exec env -u DISPLAY -u WAYLAND_DISPLAY timeout 5 "$QUARN_BIN" >"$T/game.out" 2>"$T/game.err")
  STATUS=$?
  ms=$(( ($(date +%s%N) - t0) / 1000000 ))
  [ "$STATUS" = 0 ] || fail "status $STATUS without a display, wanted 0"
  [ "$ms" -lt 1000 ] || fail "took $ms ms to give up without a display"
  grep -q 'cannot open the window' "$T/game.err" || fail "no clear line on stderr"
  log "gave up after $ms ms: $(grep "cannot open the window" "$T/game.err")"
}

# An installed tree at $1, made for the prefix $2 with the launcher in $3 (bin;
# games in the Debian package), and the further files $4...: every file in its
# place, the launcher executable, the menu entry naming the launcher by its path
# there and the game's icon, the menu entry and the AppStream metadata as their
# validators want them, the icons PNGs of their sizes.
expect_installed_tree() {
  local root=$1 prefix=$2 bindir=$3 f size; shift 3
  local desktop="$root/share/applications/io.github.quarn.desktop"
  local metainfo="$root/share/metainfo/io.github.quarn.metainfo.xml"
  need desktop-file-validate desktop-file-utils; need appstreamcli appstream
  for f in "$bindir/quarn" libexec/quarn/quarn share/quarn/font.bmp share/quarn/sprite.bmp \
           share/applications/io.github.quarn.desktop share/metainfo/io.github.quarn.metainfo.xml "$@"; do
    [ -f "$root/$f" ] || fail "not installed: $f"
  done
  [ -x "$root/$bindir/quarn" ] || fail "the launcher is not executable"
  grep -qx "Exec=$prefix/$bindir/quarn" "$desktop" ||
    fail "the menu entry does not run $prefix/$bindir/quarn: $(grep Exec "$desktop")"
  grep -qx "Icon=quarn" "$desktop" || fail "the menu entry does not show the game's icon: $(grep Icon "$desktop")"
  desktop-file-validate "$desktop" >"$T/validate.log" 2>&1 || fail "desktop-file-validate: $(cat "$T/validate.log")"
  appstreamcli validate --no-net "$metainfo" >"$T/validate.log" 2>&1 || fail "appstreamcli validate: $(cat "$T/validate.log")"
  # Decoded in full, so a broken compressed stream shows too.
  for size in 16 24 32 48 64 128 256; do
    f="share/icons/hicolor/${size}x$size/apps/quarn.png"
    [ -f "$root/$f" ] || fail "not installed: $f"
    [ "$(convert "$root/$f" -format '%m %wx%h' info: 2>"$T/convert.log")" = "PNG ${size}x$size" ] ||
      fail "$f is not a ${size}x$size PNG: $(convert "$root/$f" -format '%m %wx%h' info: 2>&1)"
  done
}

# Starts an installed launcher from / (far from any images): the game finds its
# pictures (no "Error" box, none reported on stderr), shows the menu and ends
# with status 0 on a close request.
play_installed() {
  start_xvfb
  mkdir -p "$T/run"
  (cd / && exec "$1" >"$T/game.out" 2>"$T/game.err") &
  GAME_PID=$!
  find_window 10
  [ -z "$(error_box)" ] || fail "an \"Error\" box is up: the images were not found"
  expect_menu
  ! grep -q '^Error: ' "$T/game.err" || fail "the game reported: $(grep '^Error: ' "$T/game.err")"
  "$QUARN_CLOSE" "$WIN"; wait_exit 10
  [ "$STATUS" = 0 ] || fail "status $STATUS"
}

# cmake --install into a fresh prefix, then the launcher from anywhere finds
# its images (no error box) and the menu entry names the launcher.
case_installed() {
  : "${QUARN_BUILD_DIR:?}"
  local prefix="$T/prefix"
  cmake --install "$QUARN_BUILD_DIR" --prefix "$prefix" >"$T/install.log" 2>&1 || fail "install: $(cat "$T/install.log")"
  expect_installed_tree "$prefix" "$prefix" bin share/man/man6/quarn.6 share/doc/quarn/LICENSE
  # Moved elsewhere, the tree still works: the launcher finds things relative to itself.
  mv "$prefix" "$T/moved"
  play_installed "$T/moved/bin/quarn"
}

# The Debian package, made by cpack from this build folder: its fields, its
# exact contents and lintian's verdict (no error, no warning), then unpacked
# into the case's folder (nothing is installed on the system) its launcher
# starts the game.
case_deb() {
  : "${QUARN_BUILD_DIR:?}" "${QUARN_VERSION:?}"
  # Under a umask that leaves files group-writable the modes must still come
  # out as a package needs them: they have to come from the install rules.
  (umask 002 && cd "$QUARN_BUILD_DIR" && exec cpack -G DEB -B "$T/pkg") >"$T/cpack.log" 2>&1 ||
    fail "cpack: $(cat "$T/cpack.log")"
  local deb="$T/pkg/quarn_${QUARN_VERSION}_$(dpkg --print-architecture).deb"
  [ -f "$deb" ] || fail "no $(basename "$deb") made: $(ls "$T/pkg")"
  dpkg-deb -I "$deb" >"$T/deb-info" || fail "dpkg-deb -I cannot read the package"
  local field want
  for want in "Package=quarn" "Version=$QUARN_VERSION" "Section=games" "Architecture=$(dpkg --print-architecture)"; do
    field=$(dpkg-deb -f "$deb" "${want%%=*}")
    [ "$field" = "${want#*=}" ] || fail "${want%%=*}: '$field', wanted '${want#*=}'"
  done
  [[ "$(dpkg-deb -f "$deb" Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: '$(dpkg-deb -f "$deb" Maintainer)'"
  [ "$(dpkg-deb -f "$deb" Description | wc -l)" -ge 2 ] || fail "no description beyond the summary"
  # Depends worked out from the game's libraries, and libGL that SDL opens itself.
  for want in libc6 libsdl2-2.0-0 libstdc++6 libgl1; do
    dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | awk '{print $1}' | grep -qxF "$want" || fail "Depends lacks $want: $(dpkg-deb -f "$deb" Depends)"
  done
  dpkg-deb -c "$deb" | awk '{print $1, $2, $6}' >"$T/deb-contents" || fail "dpkg-deb -c cannot list the package"
  cat >"$T/deb-wanted" <<'LIST'
drwxr-xr-x root/root ./usr/
drwxr-xr-x root/root ./usr/games/
-rwxr-xr-x root/root ./usr/games/quarn
drwxr-xr-x root/root ./usr/libexec/
drwxr-xr-x root/root ./usr/libexec/quarn/
-rwxr-xr-x root/root ./usr/libexec/quarn/quarn
drwxr-xr-x root/root ./usr/share/
drwxr-xr-x root/root ./usr/share/applications/
-rw-r--r-- root/root ./usr/share/applications/io.github.quarn.desktop
drwxr-xr-x root/root ./usr/share/doc/
drwxr-xr-x root/root ./usr/share/doc/quarn/
-rw-r--r-- root/root ./usr/share/doc/quarn/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/quarn/copyright
drwxr-xr-x root/root ./usr/share/icons/
drwxr-xr-x root/root ./usr/share/icons/hicolor/
LIST
  for size in 16 24 32 48 64 128 256; do
    printf '%s\n' "drwxr-xr-x root/root ./usr/share/icons/hicolor/${size}x$size/" \
      "drwxr-xr-x root/root ./usr/share/icons/hicolor/${size}x$size/apps/" \
      "-rw-r--r-- root/root ./usr/share/icons/hicolor/${size}x$size/apps/quarn.png"
  done >>"$T/deb-wanted"
  cat >>"$T/deb-wanted" <<'LIST'
drwxr-xr-x root/root ./usr/share/man/
drwxr-xr-x root/root ./usr/share/man/man6/
-rw-r--r-- root/root ./usr/share/man/man6/quarn.6.gz
drwxr-xr-x root/root ./usr/share/metainfo/
-rw-r--r-- root/root ./usr/share/metainfo/io.github.quarn.metainfo.xml
drwxr-xr-x root/root ./usr/share/quarn/
-rw-r--r-- root/root ./usr/share/quarn/font.bmp
-rw-r--r-- root/root ./usr/share/quarn/sprite.bmp
LIST
  diff <(sort "$T/deb-wanted") <(sort "$T/deb-contents") >"$T/deb-diff" || fail "package contents (- wanted, + made):
$(cat "$T/deb-diff")"
  dpkg -x "$deb" "$T/root" || fail "dpkg -x"
  # lintian wants a copyright file; the one here is in Debian's machine-readable format.
  head -n1 "$T/root/usr/share/doc/quarn/copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' ||
    fail "the copyright file is not in Debian's machine-readable format"
  need lintian lintian
  lintian --fail-on error,warning "$deb" >"$T/lintian.log" 2>&1 ||
    fail "lintian: $(grep -v '^running with root privileges' "$T/lintian.log")"
  expect_installed_tree "$T/root/usr" /usr games
  play_installed "$T/root/usr/games/quarn"
}

# --- Input across a reopen, the pointer at the edges, focus without a window manager

# A press of F1 as a person makes it, to whichever window has the focus (a
# tap shorter than a frame would be taken back before the loop looks at it).
press_f1() { xdotool keydown F1; sleep 0.15; xdotool keyup F1; }

# Up held through F1 and released in the new window: the player stops jumping.
case_key_across_f1() {
  start_xvfb; add_800x600_mode; prepare_data; start_game QUARN_SEED=7
  find_window 10
  expect_menu
  to_play
  wait_still 10
  focus
  xdotool keydown Up
  sleep 0.3
  press_f1
  wait_reopen
  sleep 0.5
  xdotool keyup Up
  # The fresh world's player falls to the ground first, however long that takes.
  wait_no_motion 20 "the player still jumps after Up was released"
}

# The left button held through F1 on the menu and released in the new window:
# the latch is gone, so a button under the pointer only lights up.
case_button_across_f1() {
  start_xvfb; add_800x600_mode; prepare_data; start_game
  find_window 10
  expect_menu
  focus
  point 700 500
  xdotool mousedown 1
  sleep 0.3
  press_f1
  wait_reopen
  point 700 500
  sleep 0.3
  xdotool mouseup 1
  sleep 0.3
  point 400 200
  wait_colours 6 "the game button lit, the menu still up" "$GAME_HOVER" "$EXIT_IDLE" "$MENU_BACK"
  wait_frames 10
  wait_colours 2 "the menu ten frames later" "$GAME_HOVER" "$MENU_BACK"
}

# Leaving the window keeps the last position seen inside it: the button the
# pointer left from stays lit.
case_pointer_exit() {
  start_xvfb; prepare_data; start_game
  find_window 10
  expect_menu
  point 400 200
  wait_colours 6 "the game button under the pointer" "$GAME_HOVER"
  point 900 200
  wait_frames 10
  wait_colours 2 "the game button after the pointer left to the right" "$GAME_HOVER" "$EXIT_IDLE"
  point 400 350
  wait_colours 6 "the exit button under the pointer" "$EXIT_HOVER" "$GAME_IDLE"
  point 400 700
  wait_frames 10
  wait_colours 2 "the exit button after the pointer left downwards" "$EXIT_HOVER" "$GAME_IDLE"
}

# The game sleeps between frames; a key pressed meanwhile shows on the frame
# that follows the press, not later. A frame already being drawn when the key
# came cannot show it, so a slow machine gets three tries.
expect_key_on_next_frame() {
  local key=$1 out try
  for try in 1 2 3; do
    wait_no_motion 20 "the player never came to rest before $key"
    focus
    out=$("$QUARN_PRESENT_COUNT" --press "$key" "$(drawing_window)" 5 2>&1)
    [[ "$out" =~ ^differing=([0-9]+)$ ]] && [ "${BASH_REMATCH[1]}" -gt 0 ] && { log "$key: the next frame shows it ($out)"; return 0; }
    log "$key, try $try: $out"
  done
  fail "$key pressed between frames never showed on the next frame"
}

# Keypad 8 without NumLock is the Up arrow: the player jumps, on the very next frame.
case_keypad() {
  start_xvfb; prepare_data; start_game QUARN_SEED=7
  find_window 10
  expect_menu
  to_play
  wait_no_motion 20 "the player never came to rest before the jump"
  cp "$T/rest.png" "$T/before.png"
  focus
  xdotool keydown KP_Up
  wait_view_change "$T/before.png" 300 10 "keypad 8 did not make the player jump"
  xdotool keyup KP_Up
  expect_key_on_next_frame KP_Up
}

# No window manager, nobody touching the focus, the pointer outside the window:
# every start and every reopen still ends with the game active and drawing (an
# inactive game draws nothing, and its window stays black). The last start and
# the last reopen also keep drawing until the frame rate reaches the title.
case_focus_no_wm() {
  start_xvfb; add_800x600_mode; prepare_data
  local i n
  point 1010 750
  for i in $(seq 20); do
    start_game
    find_window 10
    wait_colours 5 "the menu after start $i" "$MENU_BACK" "$GAME_IDLE"
    [ "$i" = 20 ] && break
    "$QUARN_CLOSE" "$WIN"; wait_exit 10
  done
  wait_title '^ \[ FPS - [1-9]' 4
  for n in $(seq 10); do
    press_f1
    wait_reopen
    wait_colours 5 "the menu after reopen $n" "$MENU_BACK" "$GAME_IDLE"
  done
  wait_title '^ \[ FPS - [1-9]' 4
  "$QUARN_CLOSE" "$WIN"; wait_exit 10
}

# A hang-up ends the game like a close request, so the desktop gets its mode
# back; a crash in full screen leaves it to the display guard; a terminate
# request while a box is up ends the game once the box is gone.
case_signals() {
  start_xvfb; add_800x600_mode; prepare_data
  local signal want
  for signal in HUP SEGV; do
    start_in_full_screen
    kill -s "$signal" "$GAME_PID"
    wait_exit 10
    want=0; [ "$signal" = SEGV ] && want=139
    [ "$STATUS" = "$want" ] || fail "status $STATUS after SIG$signal, wanted $want"
    for _ in $(seq 50); do [ "$(screen_size)" = "1024x768" ] && break; sleep 0.1; done
    [ "$(screen_size)" = "1024x768" ] || fail "screen left at $(screen_size) after SIG$signal in full screen"
  done

  { printf 'XX'; head -c 200 /dev/zero; } >"$T/run/sprite.bmp"
  start_game
  wait_error_box 10
  kill -TERM "$GAME_PID"
  sleep 0.5
  game_alive || fail "the game ended under its \"Invalid Bitmap\" box"
  [ -n "$(error_box)" ] || fail "the box went away by itself"
  dismiss_error_box
  wait_exit 10
  [ "$STATUS" = 0 ] || fail "status $STATUS after SIGTERM under a box, wanted 0"
}

# The X server goes away under a running game (the session ends, the server
# dies): the game ends too, as any X program does, instead of hanging on a
# connection that is gone.
case_display_lost() {
  start_xvfb; prepare_data; start_game
  find_window 10
  expect_menu
  to_play
  kill -KILL "$XVFB_PID"
  wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=""
  wait_exit 10
  [ "$STATUS" != 0 ] || fail "status 0 after losing the display"
  log "ended with status $STATUS: $(tail -n1 "$T/game.err")"
}

# A display without OpenGL: the open fails at the pixel format, shows its box
# after the window is gone, and the game ends with status 0.
case_no_glx() {
  start_xvfb -extension GLX; prepare_data; start_game
  wait_error_box 10
  [ -z "$(xdotool search --name '^quarn$' 2>/dev/null)" ] || fail "the window is still there under the box"
  dismiss_error_box
  wait_exit 10
  [ "$STATUS" = 0 ] || fail "status $STATUS, wanted 0"
  grep -q 'Unable to find a suitable pixel format' "$T/game.err" ||
    fail "not the pixel-format failure: $(grep quarn: "$T/game.err")"
}

# --- Figures (not a test: prints what it measured) ------------------------------

title_fps() { title | sed -n 's/^ \[ FPS - \([0-9]*\) \] $/\1/p'; }

# The title after two fresh frame-rate updates on the current screen.
settled_fps() {
  local end=$(( $(date +%s%N) + 2500000000 ))
  while [ "$(date +%s%N)" -lt "$end" ]; do sleep 0.1; done
  title_fps
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$GAME_PID/stat"; }
rss_kib() { rss_kib_of "$GAME_PID"; }

case_figures() {
  : "${QUARN_BUILD_DIR:?set QUARN_BUILD_DIR to the build folder}"
  local probe="$QUARN_BUILD_DIR/libquarn_first_frame_probe.so"
  [ -f "$probe" ] || fail "build the quarn_first_frame_probe target first"
  start_xvfb; add_800x600_mode; prepare_data

  # Start-up: from just before the start to the first presented frame, best of five.
  local i t0 t1 best=""
  for i in 1 2 3 4 5; do
    rm -f "$T/game.err"
    t0=$(date +%s%N)
    start_game LD_PRELOAD="$probe"
    for _ in $(seq 100); do grep -qs 'first frame presented' "$T/game.err" && break; sleep 0.02; done
    t1=$(awk '/first frame presented/ {print $5; exit}' "$T/game.err")
    [ -n "$t1" ] || fail "no frame within two seconds"
    local ms=$(( (t1 - t0) / 1000000 ))
    echo "start to first presented frame, run $i: $ms ms"
    [ -z "$best" ] || [ "$ms" -lt "$best" ] && best=$ms
    find_window 10
    "$QUARN_CLOSE" "$WIN"; wait_exit 10
  done
  echo "FIGURE start to first presented frame: best $best ms of 5"

  start_game
  find_window 10
  expect_menu
  echo "FIGURE menu: title fps $(settled_fps), presented $(presented_fps 3) fps (X server)"
  to_play
  echo "FIGURE play: title fps $(settled_fps), presented $(presented_fps 3) fps (X server)"
  click 675 575
  point 400 450
  echo "FIGURE craft: title fps $(settled_fps), presented $(presented_fps 3) fps (X server)"
  click 675 575
  point 10 300

  # Inactive: the focus goes elsewhere; the loop keeps spinning without drawing.
  local before after ticks hz
  xdotool windowfocus "$(xwininfo -root | awk '/Window id:/ {print $4}')"
  sleep 0.5
  local frozen; frozen=$(title)
  hz=$(getconf CLK_TCK)
  before=$(cpu_ticks); sleep 5; after=$(cpu_ticks)
  echo "FIGURE inactive: CPU $(( (after - before) * 100 / (5 * hz) ))% of one core over 5 s; title '$frozen' -> '$(title)'"
  focus

  # Memory across full-screen toggles.
  toggle_f1 1
  local one; one=$(rss_kib)
  for i in 9 15 25 25 25; do
    toggle_f1 "$i"
    [ "$F1_TOGGLES" = 100 ] || echo "memory: VmRSS after $F1_TOGGLES toggles $(rss_kib) KiB"
  done
  sleep 0.5
  echo "FIGURE memory: VmRSS after 1 toggle $one KiB, after 100 toggles $(rss_kib) KiB"
  "$QUARN_CLOSE" "$WIN"; wait_exit 10
  [ "$STATUS" = 0 ] || fail "status $STATUS"
}

# The Wayland desktops: weston_<case> runs <case> with the game as a native
# Wayland client of weston; gnome_xwayland is GNOME's own way (wayland.sh).
. "$(dirname "$0")/wayland.sh"
RUN=$CASE

# gl_<path>_<case> runs <case> with the OpenGL the game draws with forced
# (QUARN_GL): gl_layer_ the GL 1.1 layer, gl_desktop_ the system's OpenGL,
# gl_refused_ the layer asked for where Mesa refuses an ES 3 context, so the
# game must go on with the system's OpenGL without a box. The game's stderr
# must then say that path drew.
DREW=""
case $RUN in
  gl_layer_*) export QUARN_GL=layer; DREW="the GL 1.1 layer"; RUN=${RUN#gl_layer_} ;;
  gl_desktop_*) export QUARN_GL=desktop; DREW="the system's OpenGL"; RUN=${RUN#gl_desktop_} ;;
  gl_refused_*) export QUARN_GL=layer MESA_GLES_VERSION_OVERRIDE=2.0; DREW="the system's OpenGL"; RUN=${RUN#gl_refused_} ;;
esac
if [[ "$RUN" == weston_* ]]; then use_weston; RUN=${RUN#weston_}; fi

type "case_$RUN" >/dev/null 2>&1 || { echo "unknown case: $CASE" >&2; exit 2; }
"case_$RUN"
if [ -n "$DREW" ]; then
  grep -q "^quarn: drawing with $DREW" "$T/game.err" || fail "not drawn with $DREW: $(grep -a '^quarn:' "$T/game.err")"
  [ "${MESA_GLES_VERSION_OVERRIDE:-}" = "" ] || grep -q '^quarn: no OpenGL ES 3 context' "$T/game.err" ||
    fail "the refused ES context went unnoticed"
fi
PASSED=1
log "passed"
