# What every end-to-end case shares: an X server of its own, the game started
# in a folder with its images, the window found by its title, real X input
# (xdotool), screenshots and pixel probes (ImageMagick), message boxes.
# Sourced by e2e.sh; the caller sets CASE, QUARN_BIN, QUARN_DATA, QUARN_CLOSE.

T=$(mktemp -d "${TMPDIR:-/tmp}/quarn-e2e-$CASE.XXXXXX")
XVFB_PID=""
GAME_PID=""
WIN=""
SHOT="$T/shot.png"
PASSED=0

log() { echo "[$CASE $(date +%T.%3N)] $*"; }

# Where the game runs: x11 (the game's window straight on the Xvfb), or
# weston (a native Wayland client of a weston nested in the Xvfb; wayland.sh).
DESKTOP=x11

cleanup() {
  if [ -n "$GAME_PID" ] && kill -0 "$GAME_PID" 2>/dev/null; then
    kill -TERM "$GAME_PID" 2>/dev/null
    for _ in $(seq 20); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$GAME_PID" 2>/dev/null
  fi
  if [ -n "$XVFB_PID" ]; then
    kill -TERM "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
  fi
  if [ "$PASSED" = 1 ]; then rm -rf "$T"; else echo "kept for inspection: $T"; fi
}
trap cleanup EXIT

fail() {
  log "FAIL: $*" >&2
  # Without the log of Wayland requests and events a case may have asked for.
  [ -s "$T/game.err" ] && { echo "--- game stderr"; grep -av '^\[ *[0-9]*\.[0-9]*\] ' "$T/game.err"; }
  exit 1
}

# --- The X server --------------------------------------------------------------

# What the cases run, and the Debian package each comes from.
need() {
  command -v "$1" >/dev/null 2>&1 || fail "needs $1: install the Debian package $2"
}
need Xvfb xvfb; need xdotool xdotool; need xwininfo x11-utils; need xdpyinfo x11-utils
need xlsfonts x11-utils; need xrandr x11-xserver-utils; need xset x11-xserver-utils
need import imagemagick; need convert imagemagick; need compare imagemagick

# Extra arguments go to the server (for example -extension GLX).
start_xvfb() {
  # -noreset: without it the server resets whenever its last client leaves, and
  # pointer moves made in between are lost.
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1024x768x24 "$@" 3>"$T/display" >"$T/xvfb.log" 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -s "$T/display" ] && break; sleep 0.05; done
  [ -s "$T/display" ] || fail "Xvfb did not start: $(cat "$T/xvfb.log")"
  export DISPLAY=":$(head -n1 "$T/display")"
  unset WAYLAND_DISPLAY
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  xdpyinfo >/dev/null 2>&1 || fail "display $DISPLAY does not answer"
  # A key the harness holds is one press: on a loaded machine a hold of a
  # quarter of a second can stretch past the server's auto-repeat delay, and a
  # repeated F1 would toggle full screen again.
  xset r off || fail "xset r off failed"
  log "Xvfb on $DISPLAY"
}

# A real 800 x 600 mode: without it the server has only its 1024 x 768 and the
# game's full-screen request is refused.
add_800x600_mode() {
  xrandr --newmode "800x600_t" 40 800 840 968 1056 600 601 605 628 >/dev/null 2>&1 || fail "xrandr --newmode"
  xrandr --addmode screen 800x600_t >/dev/null 2>&1 || fail "xrandr --addmode"
}

screen_size() { xdpyinfo | awk '/dimensions:/ {print $2; exit}'; }

# --- The game ------------------------------------------------------------------

# Copies the images into the game's working folder; a case may change them first.
prepare_data() {
  mkdir -p "$T/run"
  cp "$QUARN_DATA/font.bmp" "$QUARN_DATA/sprite.bmp" "$T/run/"
}

start_game() {
  (cd "$T/run" && exec env "$@" "$QUARN_BIN" >"$T/game.out" 2>"$T/game.err") &
  GAME_PID=$!
}

game_alive() { kill -0 "$GAME_PID" 2>/dev/null; }

# Waits for the process to end; its status goes to STATUS.
wait_exit() {
  local timeout=$1
  local end=$(( $(date +%s%N) + timeout * 1000000000 ))
  while game_alive; do
    [ "$(date +%s%N)" -lt "$end" ] || fail "the game did not end within ${timeout}s"
    sleep 0.05
  done
  wait "$GAME_PID"
  STATUS=$?
  GAME_PID=""
}

TITLE_RE='^(quarn| \[ FPS - [0-9]+ \] )$'

# The visible game window (a new one after every F1) into WIN.
find_window() {
  local timeout=${1:-5}
  local end=$(( $(date +%s%N) + timeout * 1000000000 ))
  WIN=""
  while [ -z "$WIN" ]; do
    game_alive || fail "the game ended (status $(wait "$GAME_PID"; echo $?)) before its window showed"
    [ "$(date +%s%N)" -lt "$end" ] || fail "no game window within ${timeout}s"
    WIN=$(xdotool search --onlyvisible --name "$TITLE_RE" 2>/dev/null | head -n1)
    [ -n "$WIN" ] || sleep 0.02
  done
}

title() { xdotool getwindowname "$WIN" 2>/dev/null; }

# After F1 on a window whose title already shows the frame rate: the new
# window is the visible one titled "quarn".
wait_reopen() {
  local timeout=${1:-10}
  local end=$(( $(date +%s%N) + timeout * 1000000000 ))
  WIN=""
  while [ -z "$WIN" ]; do
    game_alive || fail "the game ended (status $(wait "$GAME_PID"; echo $?)) instead of reopening"
    [ "$(date +%s%N)" -lt "$end" ] || fail "no new window titled quarn within ${timeout}s"
    WIN=$(xdotool search --onlyvisible --name '^quarn$' 2>/dev/null | head -n1)
    [ -n "$WIN" ] || sleep 0.02
  done
}

# Waits until the title matches a regular expression.
wait_title() {
  local re=$1 timeout=$2
  local end=$(( $(date +%s%N) + timeout * 1000000000 ))
  until title | grep -Eq "$re"; do
    [ "$(date +%s%N)" -lt "$end" ] || fail "title '$(title)' never matched '$re' within ${timeout}s"
    sleep 0.05
  done
}

expect_geometry() {
  local info x y w h
  info=$(xwininfo -id "$WIN")
  x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
  w=$(awk '/Width:/ {print $NF}' <<<"$info")
  h=$(awk '/Height:/ {print $NF}' <<<"$info")
  [ "$x,$y,$w,$h" = "0,0,800,600" ] || fail "client area at ($x,$y) size ${w}x$h, wanted 800x600 at (0,0)"
}

focus() { xdotool windowfocus --sync "$WIN" 2>/dev/null; }

# A person's press: held for a quarter of a second, longer than any frame.
hold_key() {
  focus
  xdotool keydown "$1"; sleep 0.25; xdotool keyup "$1"
}

# Moves the pointer and waits until the server has it there (--sync would wait
# forever for a move to where the pointer already is).
point() {
  local here
  here=$(xdotool getmouselocation 2>/dev/null | awk '{print $1, $2}')
  [ "$here" = "x:$1 y:$2" ] && return 0
  xdotool mousemove --sync "$1" "$2" 2>/dev/null || xdotool mousemove "$1" "$2"
}

click() {
  point "$1" "$2"
  sleep 0.05
  xdotool mousedown 1; sleep 0.25; xdotool mouseup 1
}

# --- Screenshots and pixel probes ---------------------------------------------

shoot() { import -window "$WIN" "${1:-$SHOT}" 2>/dev/null || fail "screenshot of $WIN failed"; }

# "r g b" (0..255) of a pixel of a screenshot.
rgb() {
  local x=$1 y=$2 file=${3:-$SHOT}
  convert "$file" -format \
    "%[fx:int(255*p{$x,$y}.r+0.5)] %[fx:int(255*p{$x,$y}.g+0.5)] %[fx:int(255*p{$x,$y}.b+0.5)]" info:
}

near() {  # near "r g b" R G B
  local r g b
  read -r r g b <<<"$1"
  local dr=$(( r - $2 )) dg=$(( g - $3 )) db=$(( b - $4 ))
  [ ${dr#-} -le 3 ] && [ ${dg#-} -le 3 ] && [ ${db#-} -le 3 ]
}

# Takes screenshots until every given probe "x y r g b" matches.
wait_colours() {
  local timeout=$1 what=$2; shift 2
  local end=$(( $(date +%s%N) + timeout * 1000000000 ))
  local probes=("$@") probe bad x y r g b seen
  while :; do
    game_alive || fail "the game ended while waiting for $what"
    shoot
    bad=""
    for probe in "${probes[@]}"; do
      read -r x y r g b <<<"$probe"
      seen=$(rgb "$x" "$y")
      near "$seen" "$r" "$g" "$b" || { bad="($x,$y) is $seen, wanted $r $g $b"; break; }
    done
    [ -z "$bad" ] && return 0
    [ "$(date +%s%N)" -lt "$end" ] || { cp "$SHOT" "$T/failed.png"; fail "$what: $bad"; }
    sleep 0.1
  done
}

# Pixels of the world that differ between two screenshots: above the bottom
# bar, and without the player's band (the player may keep hovering).
differing_pixels() {
  local mask=(-crop 800x545+0+0 +repage -fill black -draw "rectangle 380,0 420,545") count
  convert "$1" "${mask[@]}" "$T/masked-1.png" && convert "$2" "${mask[@]}" "$T/masked-2.png" ||
    fail "cannot mask $1 and $2"
  count=$(compare -metric AE "$T/masked-1.png" "$T/masked-2.png" null: 2>&1)
  [[ "$count" =~ ^[0-9]+$ ]] || fail "compare: $count"
  echo "$count"
}

# Waits until the world stops moving (the player has come down to the ground):
# two screenshots five presented frames apart show the same world.
wait_still() {
  local timeout=$1
  local end=$(( $(date +%s%N) + timeout * 1000000000 ))
  shoot "$T/still-a.png"
  while :; do
    wait_frames 5 "$timeout"
    shoot "$T/still-b.png"
    if [ "$(differing_pixels "$T/still-a.png" "$T/still-b.png")" = 0 ]; then
      cp "$T/still-b.png" "$SHOT"
      return 0
    fi
    [ "$(date +%s%N)" -lt "$end" ] || fail "the play screen never came to rest"
    mv "$T/still-b.png" "$T/still-a.png"
  done
}

# Pixels that differ anywhere in two screenshots (the player included).
all_differing_pixels() {
  local count
  count=$(compare -metric AE "$1" "$2" null: 2>&1)
  [[ "$count" =~ ^[0-9]+$ ]] || fail "compare: $count"
  echo "$count"
}

# Waits until the whole view, player included, stays the same over three
# stretches of eight presented frames; the last screenshot is $T/rest.png.
# Judged by frames, not time, so a slow machine neither fails nor fools it.
wait_no_motion() {
  local timeout=$1 what=$2
  local end=$(( $(date +%s%N) + timeout * 1000000000 )) same
  shoot "$T/rest.png"
  while :; do
    cp "$T/rest.png" "$T/rest-0.png"
    same=1
    for _ in 1 2 3; do
      wait_frames 8 "$timeout"
      shoot "$T/rest.png"
      [ "$(all_differing_pixels "$T/rest-0.png" "$T/rest.png")" = 0 ] || { same=0; break; }
    done
    [ "$same" = 1 ] && return 0
    [ "$(date +%s%N)" -lt "$end" ] || fail "$what"
  done
}

# Waits until more than $2 pixels of the view differ from screenshot $1 (the
# new screenshot is $T/changed.png).
wait_view_change() {
  local before=$1 least=$2 timeout=$3 what=$4
  local end=$(( $(date +%s%N) + timeout * 1000000000 )) changed
  while :; do
    shoot "$T/changed.png"
    changed=$(all_differing_pixels "$before" "$T/changed.png")
    [ "$changed" -gt "$least" ] && return 0
    [ "$(date +%s%N)" -lt "$end" ] || fail "$what ($changed pixels changed)"
    sleep 0.05
  done
}

# --- Message boxes ------------------------------------------------------------
# SDL's box is an X window of its own named "Error"; xdotool's search does not
# see it, the window tree does.

error_box() { xwininfo -root -tree 2>/dev/null | awk '/"Error"/ {print $1; exit}'; }

# SDL draws its box with the X core fonts; without them the game can only
# write the text to stderr.
need_core_fonts() {
  xlsfonts -fn '-*-*-medium-r-normal--*-120-*-*-*-*-*-*' 2>/dev/null | grep -q . ||
    fail "the error box cannot be drawn: no X core fonts (xfonts-base)"
}

wait_error_box() {
  local timeout=$1
  need_core_fonts
  local end=$(( $(date +%s%N) + timeout * 1000000000 ))
  BOX=""
  while [ -z "$BOX" ]; do
    [ "$(date +%s%N)" -lt "$end" ] || fail "no \"Error\" box within ${timeout}s"
    game_alive || fail "the game ended (status $(wait "$GAME_PID"; echo $?)) before any box showed"
    BOX=$(error_box)
    [ -n "$BOX" ] || sleep 0.05
  done
}

dismiss_error_box() {
  for _ in $(seq 40); do
    [ -n "$(error_box)" ] || return 0
    xdotool key --window "$BOX" Return 2>/dev/null
    sleep 0.1
  done
  fail "the \"Error\" box did not go away"
}

# --- What the screens look like -----------------------------------------------

# Probes "x y r g b" of the view, shared with the browser build's cases.
. "$(dirname "${BASH_SOURCE[0]}")/probes.sh"

expect_menu() {
  point 700 500
  wait_colours "${1:-10}" "the menu" "$MENU_BACK" "$GAME_IDLE" "$EXIT_IDLE"
}

to_play() {
  click 400 200
  point 10 300
  wait_colours 10 "the play screen" "$SKY" "$BOTTOM_BAR" "$CRAFT_IDLE"
}

# The white player quad covers x 390..409 of 30 rows above the bar (in the
# given screenshot, or a new one).
expect_player() {
  local file=${1:-}
  [ -n "$file" ] || { shoot; file=$SHOT; }
  local column top x
  column=$(convert "$file" -crop 1x545+400+0 -depth 8 txt:- | grep -c '#FFFFFF')
  [ "$column" -ge 28 ] || fail "no white player at x 400 ($column white pixels in the column)"
  top=$(convert "$file" -crop 1x545+400+0 -depth 8 txt:- | awk -F'[,:]' '/#FFFFFF/ {print $2; exit}')
  for x in 390 409; do
    near "$(rgb $x $((top + 5)) "$file")" 255 255 255 || fail "player not white at x $x"
  done
  for x in 388 411; do
    near "$(rgb $x $((top + 5)) "$file")" 255 255 255 && fail "white beyond the player at x $x"
  done
  return 0
}

# --- Presented frames, counted on the X server --------------------------------
# Each frame the game presents redraws the whole window it draws into, and the
# server's Damage extension reports every such redraw (quarn-present-count, a
# tool of the Linux build). That window is the game window, or under Wine the
# child window of its client area.

drawing_window() { echo "$WIN"; }

need_frame_counter() {
  [ -x "$QUARN_PRESENT_COUNT" ] ||
    fail "no frame counter at $QUARN_PRESENT_COUNT: build the Linux build's quarn-present-count (Debian libxdamage-dev)"
}

# Frames per second presented over $1 seconds.
presented_fps() {
  need_frame_counter
  local out
  out=$("$QUARN_PRESENT_COUNT" "$(drawing_window)" "$1") || fail "counting the presented frames failed: $out"
  sed -n 's/.* fps=\([0-9.]*\) .*/\1/p' <<<"$out"
}

# Frames presented over $1 seconds.
presented_frames() {
  need_frame_counter
  local out
  out=$("$QUARN_PRESENT_COUNT" "$(drawing_window)" "$1") || fail "counting the presented frames failed: $out"
  sed -n 's/^frames=\([0-9]*\) .*/\1/p' <<<"$out"
}

# --- What running costs (bench/cost.sh) ------------------------------------------
# The processes a build runs in: the game; the Windows harness adds the Wine
# server, which does part of the game's work. The first is the game itself.
cost_pids() { echo "$GAME_PID"; }

# User + system clock ticks of each given process.
cpu_ticks_of() {
  local pid
  for pid in "$@"; do
    sed 's/^.*) //' "/proc/$pid/stat" 2>/dev/null | awk '{printf "%d ", $12 + $13}' || printf '0 '
  done
}

rss_kib_of() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }

# "<fps> <cpu>...": the frames per second presented over $1 seconds, and the
# processor time each of cost_pids took meanwhile, in % of one core.
presented_fps_and_cpu() {
  local pids before after t0 t1 fps
  pids=$(cost_pids) || fail "cannot find the build's processes"
  t0=$(date +%s%N); before=$(cpu_ticks_of $pids)
  fps=$(presented_fps "$1")
  after=$(cpu_ticks_of $pids); t1=$(date +%s%N)
  echo "$fps $(awk -v b="$before" -v a="$after" -v s="$(( (t1 - t0) / 1000000 ))" -v hz="$(getconf CLK_TCK)" '
    BEGIN { n = split(b, x); split(a, y); for (i = 1; i <= n; i++) printf "%.1f ", 100 * (y[i] - x[i]) / hz / (s / 1000) }')"
}

# F1 $1 times on a server with the 800 x 600 mode: odd toggles (counted in
# F1_TOGGLES) are full screen, so the screen size tells when each has happened.
# F1 is held until then (without auto-repeat): a busy game may not look at the
# keys for a while. Then a window must show a frame: the new one, active, so
# the next F1 reaches it (the one found first may be the old one on its way out).
F1_TOGGLES=0
toggle_f1() {
  local i want t
  xset r off || fail "xset r off failed"
  for i in $(seq "$1"); do
    F1_TOGGLES=$((F1_TOGGLES + 1))
    if [ $((F1_TOGGLES % 2)) = 1 ]; then want=800x600; else want=1024x768; fi
    focus
    xdotool keydown F1
    t=0
    until [ "$(screen_size)" = "$want" ]; do
      t=$((t + 1)); [ $t -lt 500 ] || fail "toggle $F1_TOGGLES did not happen (screen $(screen_size), box \"$(error_box)\", windows: $(xdotool search --name "$TITLE_RE" 2>/dev/null | tr "\n" " "))"; sleep 0.02
    done
    xdotool keyup F1
    t=0
    until find_window 10 && "$QUARN_PRESENT_COUNT" --frames 1 "$(drawing_window)" 2 >/dev/null; do
      t=$((t + 1)); [ $t -lt 20 ] || fail "no frame after toggle $F1_TOGGLES"; sleep 0.02
    done
  done
}

# Waits until the game has presented $1 more frames: what a case needs to
# have happened before it judges, however slow the machine is.
wait_frames() {
  local n=$1 timeout=${2:-20}
  need_frame_counter
  "$QUARN_PRESENT_COUNT" --frames "$n" "$(drawing_window)" "$timeout" >/dev/null ||
    fail "fewer than $n frames presented within ${timeout}s"
}

# Waits until the game has presented no frame for $1 seconds.
wait_no_frames() {
  local quiet=$1 timeout=$2 what=$3
  need_frame_counter
  "$QUARN_PRESENT_COUNT" --none-for "$quiet" "$(drawing_window)" "$timeout" >/dev/null || fail "$what"
}

# --- Cases both builds run ----------------------------------------------------
# START_TIMEOUT: seconds a start may take to show the window or a box (the
# Windows build under Wine is given longer).

: "${START_TIMEOUT:=10}"

case_menu() {
  start_xvfb; prepare_data; start_game
  find_window "$START_TIMEOUT"
  expect_menu
  point 400 200
  wait_colours 6 "game button under the pointer" "$GAME_HOVER" "$EXIT_IDLE"
  point 400 350
  wait_colours 6 "exit button under the pointer" "$GAME_IDLE" "$EXIT_HOVER"
  point 300 200
  wait_colours 6 "pointer on the game button's edge" "$GAME_IDLE" "$EXIT_IDLE"
}

# A press and its release with no pause between them, as a touchpad's tap
# makes them: both wait in the queue, and the frame after them still sees the
# press on "game". Then the same of Esc in play, as a remote desktop or an
# on-screen keyboard sends a key: the menu comes back.
case_quick_click() {
  start_xvfb; prepare_data; start_game
  find_window "$START_TIMEOUT"
  expect_menu
  point 400 200
  wait_colours 6 "game button under the pointer" "$GAME_HOVER"
  xdotool mousedown 1 mouseup 1
  wait_colours 10 "the play screen after a quick click" "$SKY" "$BOTTOM_BAR"
  xdotool key Escape
  wait_colours 10 "the menu after a quick Esc" "$MENU_BACK"
}

case_craft() {
  start_xvfb; prepare_data; start_game
  find_window "$START_TIMEOUT"
  expect_menu
  to_play
  click 675 575
  wait_colours 10 "the craft screen" "$MENU_BACK" "$BACK_HOVER" "$SPEED_ROW1_GREY"
  click 675 575
  point 10 300
  wait_colours 10 "the play screen after \"back in game\"" "$SKY" "$BOTTOM_BAR" "$CRAFT_IDLE"
}

case_play() {
  start_xvfb; prepare_data; start_game
  find_window "$START_TIMEOUT"
  expect_menu
  to_play
  wait_still 10
  expect_player
  cp "$SHOT" "$T/before.png"
  focus
  xdotool keydown Right
  wait_view_change "$T/before.png" 1000 10 "holding Right did not move the view"
  xdotool keyup Right
  expect_player "$T/changed.png"
  hold_key Escape
  wait_colours 10 "the menu after Esc" "$MENU_BACK" "$GAME_IDLE" "$EXIT_IDLE"
}

# The close box: what a window manager sends when it is clicked.
close_window() {
  [ -x "$QUARN_CLOSE" ] || fail "no close helper at $QUARN_CLOSE: build the Linux build (build/) first"
  "$QUARN_CLOSE" "$WIN" || fail "the close helper failed"
}

case_close_request() {
  start_xvfb; prepare_data; start_game
  find_window "$START_TIMEOUT"
  expect_menu
  close_window
  wait_exit 10
  [ "$STATUS" = 0 ] || fail "status $STATUS after a close request, wanted 0"
}

case_exit_button() {
  start_xvfb; prepare_data; start_game
  find_window "$START_TIMEOUT"
  expect_menu
  click 400 350
  wait_exit 10
  [ "$STATUS" = 0 ] || fail "status $STATUS after \"exit\", wanted 0"
}

case_missing_sprite() {
  start_xvfb; prepare_data; rm "$T/run/sprite.bmp"; start_game
  wait_error_box "$START_TIMEOUT"
  dismiss_error_box
  wait_exit 10
  [ "$STATUS" = 2 ] || fail "status $STATUS for a missing sprite.bmp, wanted 2"
}

case_truncated_sprite() {
  start_xvfb; prepare_data; head -c 10 "$QUARN_DATA/sprite.bmp" >"$T/run/sprite.bmp"; start_game
  wait_error_box "$START_TIMEOUT"
  dismiss_error_box
  wait_exit 10
  [ "$STATUS" = 100 ] || fail "status $STATUS for a truncated sprite.bmp, wanted 100"
}

case_invalid_sprite() {
  start_xvfb; prepare_data
  { printf 'XX'; head -c 200 /dev/zero; } >"$T/run/sprite.bmp"
  start_game
  wait_error_box "$START_TIMEOUT"
  dismiss_error_box
  find_window 10
  expect_menu
  wait_title '^ \[ FPS - [1-9]' 3
}

# Not a test (bench/present-rate.sh and bench/cost.sh run it for each build):
# the frames per second presented on the menu, play and craft screens, counted
# on the X server over RATE_SECONDS (5) each, with the processor time of the
# build's processes meanwhile, as lines "RATE <screen> <fps> <cpu %>...". Each
# screen is given RATE_SETTLE seconds (3) first: the first seconds of play are
# slower (the player falls into the world; the Windows build under Wine takes
# about three seconds to reach its steady rate). With RATE_TOGGLES set (say
# 100), then the game's resident memory after one F1 and after that many:
# "MEMORY <toggles> <KiB>".
case_rates() {
  local seconds=${RATE_SECONDS:-5} settle=${RATE_SETTLE:-3} toggles=${RATE_TOGGLES:-0}
  start_xvfb; add_800x600_mode; prepare_data; start_game QUARN_SEED=7
  find_window "$START_TIMEOUT"
  expect_menu
  sleep "$settle"
  echo "RATE menu $(presented_fps_and_cpu "$seconds")"
  to_play
  sleep "$settle"
  echo "RATE play $(presented_fps_and_cpu "$seconds")"
  click 675 575
  wait_colours 10 "the craft screen" "$MENU_BACK" "$BACK_HOVER" "$SPEED_ROW1_GREY"
  point 400 450
  sleep "$settle"
  echo "RATE craft $(presented_fps_and_cpu "$seconds")"
  [ "$toggles" -gt 0 ] || return 0
  local game
  toggle_f1 1
  game=$(cost_pids | awk '{print $1}')
  echo "MEMORY 1 $(rss_kib_of "$game")"
  toggle_f1 $((toggles - 1))
  sleep 0.5
  echo "MEMORY $toggles $(rss_kib_of "$game")"
}
