# The Wayland desktops, sourced by e2e.sh after its cases.
#
# weston_<case> runs <case> with the game as a native Wayland client: no
# DISPLAY, so SDL takes Wayland as in a session without Xwayland, and nothing
# X-only may get in its way. The compositor is a weston nested in the case's
# Xvfb (its X11 backend): its one output, 800 x 600 without a panel, is an X
# window at the Xvfb's (0, 0), so the game's 800 x 600 window lies on the
# output's (0, 0). That X window is WIN: pointer moves, clicks and keys
# (xdotool on the Xvfb) reach the game through weston's seat as a person's
# would, and screenshots and frame counts see what weston shows. The title is
# read from the game's own log of its requests (WAYLAND_DEBUG=client, on its
# stderr). The game's pointer is a blank cursor theme's, so screenshots show
# only what the game draws, as an X server's do.
#
# gnome_xwayland is GNOME's way with an X11 game: mutter headless, with
# Xwayland, and the game an X client of that Xwayland, driven by the X tools.

WESTON_SOCKET=quarn-e2e
WESTON_SIZE=800x600  # of its one output
WESTON_PID=""
WINDOWS_SEEN=0  # game windows found so far (weston)

# "<windows titled quarn so far> <1 when the last has had a frame>": a window
# shows once its surface (the one given to xdg_wm_base) has a buffer.
wayland_windows() {
  awk '/\.get_xdg_surface\(/ { match($0, /wl_surface@[0-9]+\)/); main = substr($0, RSTART, RLENGTH - 1) ".attach(" }
       /\.set_title\("quarn"\)$/ { n++; shown = 0 }
       main != "" && index($0, main) { shown = 1 }
       END { print n + 0, shown + 0 }' "$T/game.err" 2>/dev/null
}

# What the game asked of its window since it was last opened (the last
# "quarn" title) matches the regular expression $1.
asked_since_open() {
  awk '/\.set_title\("quarn"\)$/ { since = "" } { since = since "\n" $0 } END { print since }' "$T/game.err" |
    grep -Eq "$1"
}

use_weston() {
  DESKTOP=weston
  need weston weston
  # The close box is the one libdecor draws (SDL's decorations on a compositor
  # that leaves them to the client).
  compgen -G "/usr/lib/*/libdecor/plugins-1/libdecor-cairo.so" >/dev/null ||
    fail "needs the decorations' close box: install the Debian package libdecor-0-plugin-1-cairo"
  eval "$(declare -f start_xvfb | sed '1s/start_xvfb/lib_start_xvfb/')"
  eval "$(declare -f start_game | sed '1s/start_game/lib_start_game/')"
  trap 'stop_weston; cleanup' EXIT

  start_xvfb() {
    lib_start_xvfb "$@"
    export XDG_RUNTIME_DIR="$T/xdg"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    # The background is magenta, which no screen of the game shows. Keys do not
    # repeat (as on the Xvfb): a held F1 would toggle again.
    printf '%s\n' '[core]' 'idle-time=0' '[shell]' 'panel-position=none' 'background-image=' \
      'background-color=0xffff00ff' '[keyboard]' 'repeat-rate=0' >"$T/weston.ini"
    weston --backend=x11-backend.so --width="${WESTON_SIZE%x*}" --height="${WESTON_SIZE#*x}" --use-pixman --config="$T/weston.ini" \
      --socket="$WESTON_SOCKET" --log="$T/weston.log" >/dev/null 2>&1 &
    WESTON_PID=$!
    for _ in $(seq 200); do
      WIN=$(xdotool search --onlyvisible --classname '^weston-' 2>/dev/null | head -n1)
      [ -n "$WIN" ] && [ -S "$XDG_RUNTIME_DIR/$WESTON_SOCKET" ] && break
      sleep 0.05
    done
    [ -n "$WIN" ] || fail "weston did not start: $(tail -n5 "$T/weston.log")"
    # Weston may miss the pointer that was already there when its window came:
    # it leaves, so that the case's first move is an entry weston sees.
    point 1000 700
    # The X focus stays on weston's window: each change of it makes weston
    # take the keyboard from its window and give it back, and a game that
    # lost the keyboard meanwhile is inactive.
    xdotool windowfocus --sync "$WIN" 2>/dev/null || fail "cannot focus weston's window"
    blank_cursor_theme "$T/cursors/blank/cursors/left_ptr"
    log "weston on $DISPLAY, socket $WESTON_SOCKET"
  }

  start_game() {
    WINDOWS_SEEN=0  # a new log
    lib_start_game -u DISPLAY WAYLAND_DISPLAY="$WESTON_SOCKET" WAYLAND_DEBUG=client \
      XCURSOR_PATH="$T/cursors" XCURSOR_THEME=blank "$@"
  }

  focus() { :; }

  title() { sed -n 's/.*\.set_title("\(.*\)")$/\1/p' "$T/game.err" | tail -n1; }

  # A new game window that shows (WIN stays weston's output).
  find_window() {
    local timeout=${1:-5} n shown
    local end=$(( $(date +%s%N) + timeout * 1000000000 ))
    while :; do
      game_alive || fail "the game ended (status $(wait "$GAME_PID"; echo $?)) before its window showed"
      read -r n shown <<<"$(wayland_windows)"
      [ "$n" -gt "$WINDOWS_SEEN" ] && [ "$shown" = 1 ] && break
      [ "$(date +%s%N)" -lt "$end" ] || fail "no new game window with a frame within ${timeout}s ($n titled, last shown: $shown)"
      sleep 0.05
    done
    WINDOWS_SEEN=$n
  }
  wait_reopen() { find_window "${1:-10}"; }

  # The game covers the whole output, from (0, 0): no background at its corners.
  expect_geometry() {
    local corner right=$(( ${WESTON_SIZE%x*} - 1 )) bottom=$(( ${WESTON_SIZE#*x} - 1 ))
    shoot
    for corner in "0 0" "$right 0" "0 $bottom" "$right $bottom"; do
      near "$(rgb $corner)" 255 0 255 && fail "the desktop shows at ($corner): the game does not cover the output"
    done
    return 0
  }

  # Full screen is asked of the compositor, which answers with the whole
  # output; a window never asks it.
  expect_full_screen() {
    asked_since_open '\.set_fullscreen\(' || fail "the window did not ask for full screen"
    asked_since_open "xdg_toplevel@[0-9]+\\.configure\\(${WESTON_SIZE%x*}, ${WESTON_SIZE#*x}, " ||
      fail "the compositor did not give the window its $WESTON_SIZE output"
  }
  expect_desktop_mode() {
    ! asked_since_open '\.set_fullscreen\(' || fail "the window asked for full screen after leaving it"
  }

  # The close box: the window dragged down (Super and the left button, weston's
  # move) until its title bar shows, then the close button at its right end.
  close_window() {
    point 400 300
    xdotool keydown super mousedown 1
    point 400 330
    point 400 360
    xdotool mouseup 1 keyup super
    wait_colours 5 "the title bar above the moved window" "200 48 8 7 6" "400 62 0 128 0"
    point 784 48
    xdotool click 1
  }

  # A hang-up in full screen and an interrupt in a window end the game as its
  # close box does. (The X server's case also has the display guard and a box.)
  case_signals() {
    start_xvfb; prepare_data
    start_in_full_screen
    kill -HUP "$GAME_PID"
    wait_exit 10
    [ "$STATUS" = 0 ] || fail "status $STATUS after SIGHUP in full screen, wanted 0"
    start_game
    find_window 10
    expect_menu
    kill -INT "$GAME_PID"
    wait_exit 10
    [ "$STATUS" = 0 ] || fail "status $STATUS after SIGINT, wanted 0"
  }

  # Where the compositor cannot scale an 800 x 600 frame to its output (SDL
  # offers the mode only with the viewporter; here its emulated modes are
  # off), full screen is the output's own size: the scene at its scale from
  # the top-left corner, the background beyond, the pointer still on what is
  # drawn under it.
  case_fullscreen_unscaled() {
    WESTON_SIZE=960x720
    start_xvfb; prepare_data; start_game SDL_VIDEO_WAYLAND_MODE_EMULATION=0
    find_window 10
    wait_title '^ \[ FPS' 3
    hold_key F1
    wait_reopen
    expect_full_screen
    expect_geometry
    point 400 200
    wait_colours 10 "the menu in a 960 x 720 full screen" "$MENU_BACK" "$GAME_HOVER" "$EXIT_IDLE" "950 700 0 128 0"
    wait_title '^ \[ FPS - [1-9]' 3
    [ -z "$(grep -a 'Unable to switch' "$T/game.err")" ] || fail "full screen was refused"
  }

  # The compositor dies under the game, which ends at once with status 1 and
  # says why, as when an X server goes away.
  case_display_lost() {
    start_xvfb; prepare_data; start_game
    find_window 10
    expect_menu
    to_play
    kill -KILL "$WESTON_PID"
    wait "$WESTON_PID" 2>/dev/null
    WESTON_PID=""
    wait_exit 10
    [ "$STATUS" = 1 ] || fail "status $STATUS after losing the compositor, wanted 1"
    grep -qx 'quarn: the connection to the display was lost' "$T/game.err" || fail "no line saying the display was lost"
  }
}

stop_weston() {
  [ -n "$WESTON_PID" ] || return 0
  kill -TERM "$WESTON_PID" 2>/dev/null
  wait "$WESTON_PID" 2>/dev/null
  WESTON_PID=""
}

# An Xcursor file of one transparent pixel at $1.
blank_cursor_theme() {
  local v
  mkdir -p "$(dirname "$1")"
  {
    printf Xcur
    # Header (size, version, one entry), the entry (an image of nominal size 24
    # at byte 28), the image's header (size, type, nominal size, version,
    # width 1, height 1, hot spot 0 0, no delay) and its one ARGB pixel.
    for v in 16 65536 1 4294770690 24 28 36 4294770690 24 1 1 1 0 0 0 0; do
      printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255)))"
    done
  } >"$1"
}

# --- GNOME through Xwayland ----------------------------------------------------

MUTTER_SESSION=""

# mutter headless with one 1280 x 720 monitor and Xwayland, as GNOME runs X
# programs; the X tools then work on its Xwayland. What mutter runs writes the
# session's environment and waits until the case ends it.
start_gnome() {
  need mutter mutter; need Xwayland xwayland; need dbus-run-session dbus-daemon
  export XDG_RUNTIME_DIR="$T/xdg"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  printf '#!/bin/sh\necho $$ >"%s/session.pid"\nenv >"%s/session.new" && mv "%s/session.new" "%s/session.env"\nexec sleep 300\n' \
    "$T" "$T" "$T" "$T" >"$T/session.sh"
  chmod +x "$T/session.sh"
  dbus-run-session -- mutter --headless --wayland --virtual-monitor 1280x720 -- "$T/session.sh" >"$T/mutter.log" 2>&1 &
  MUTTER_SESSION=$!
  trap 'stop_gnome; cleanup' EXIT
  for _ in $(seq 300); do [ -s "$T/session.env" ] && break; sleep 0.05; done
  [ -s "$T/session.env" ] || fail "mutter did not start its session: $(tail -n5 "$T/mutter.log")"
  eval "$(grep -E '^(DISPLAY|WAYLAND_DISPLAY|XAUTHORITY)=' "$T/session.env" | sed 's/^/export /')"
  xdpyinfo >/dev/null 2>&1 || fail "Xwayland on $DISPLAY does not answer"
  log "mutter: Xwayland on $DISPLAY, Wayland on $WAYLAND_DISPLAY"
}

# The session's command ends, and mutter (with Xwayland and the bus) with it.
stop_gnome() {
  [ -n "$MUTTER_SESSION" ] || return 0
  [ -s "$T/session.pid" ] && kill -TERM "$(cat "$T/session.pid")" 2>/dev/null
  for _ in $(seq 100); do kill -0 "$MUTTER_SESSION" 2>/dev/null || break; sleep 0.05; done
  kill -TERM "$MUTTER_SESSION" 2>/dev/null
  wait "$MUTTER_SESSION" 2>/dev/null
  MUTTER_SESSION=""
}

# Both DISPLAY and WAYLAND_DISPLAY are set, and SDL takes X11: the game's
# window is Xwayland's, framed by mutter. Frames and the title; F1 to full
# screen (800 x 600 at the screen's corner, which Xwayland scales to the
# monitor) and back; a terminate request ends it with status 0.
case_gnome_xwayland() {
  start_gnome; prepare_data; start_game
  find_window 10
  [ "$(title)" = "quarn" ] || fail "first title '$(title)', wanted 'quarn'"
  expect_menu
  wait_title '^ \[ FPS - [1-9][0-9]* \] $' 3
  log "windowed: $(presented_fps 2) frames a second presented"
  hold_key F1
  wait_reopen
  expect_geometry
  expect_menu
  wait_title '^ \[ FPS - [1-9]' 3
  log "full screen: $(presented_fps 2) frames a second presented"
  hold_key F1
  wait_reopen
  expect_menu
  [ "$(xwininfo -id "$WIN" | awk '/Width:/ {w = $NF} /Height:/ {h = $NF} END {print w "x" h}')" = 800x600 ] ||
    fail "the window is not 800 x 600 again"
  kill -TERM "$GAME_PID"
  wait_exit 10
  [ "$STATUS" = 0 ] || fail "status $STATUS after SIGTERM, wanted 0"
}
