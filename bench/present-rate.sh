#!/usr/bin/env bash
# Frames per second that the Linux build and the Windows build (under Wine)
# present on the menu, play and craft screens, counted on the X server (Damage
# events of the window the frames are drawn into), and the Linux build's share
# of the Windows build's rate. The builds take turns, each on a fresh Xvfb, and
# the order swaps every round so that a change in the machine's load falls on
# both alike.
#
#   bench/present-rate.sh [rounds]        (3 rounds by default)
#
# Environment: LINUX_BUILD (build), WINDOWS_BUILD (build-windows), RATE_SECONDS
# (5: how long each screen is counted, after RATE_SETTLE seconds, 3, on it),
# BEFORE_BUILD (unset: another Linux build
# folder, say of an older commit, that takes its turn in every round as
# "before"; only its quarn is used). Needs the Linux build's quarn,
# quarn-e2e-close and quarn-present-count, the Windows build's quarn.exe, and
# what the e2e layers need (Xvfb, xdotool, ImageMagick, Wine).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-3}
linux=$(cd "${LINUX_BUILD:-$root/build}" && pwd) || exit 2
windows=$(cd "${WINDOWS_BUILD:-$root/build-windows}" && pwd) || exit 2
before=""
[ -z "${BEFORE_BUILD:-}" ] || before=$(cd "$BEFORE_BUILD" && pwd) || exit 2
for f in "$linux/quarn" "$linux/quarn-e2e-close" "$linux/quarn-present-count" "$windows/quarn.exe" \
         ${before:+"$before/quarn"}; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "present-rate: missing $f (build both builds first)" >&2; exit 2; }
done
export RATE_SECONDS=${RATE_SECONDS:-5}
BENCH=present-rate
. "$root/bench/rounds.sh"

measure() {  # measure <build name>
  case $1 in
    linux) QUARN_BUILD_DIR="$linux" QUARN_CLOSE="$linux/quarn-e2e-close" bash "$root/tests/e2e/e2e.sh" rates ;;
    before) QUARN_BIN="$before/quarn" QUARN_BUILD_DIR="$linux" QUARN_CLOSE="$linux/quarn-e2e-close" \
              bash "$root/tests/e2e/e2e.sh" rates ;;
    windows) QUARN_BUILD_DIR="$windows" QUARN_CLOSE="$linux/quarn-e2e-close" bash "$root/tests/e2e/e2e-windows.sh" rates ;;
  esac
}

echo "presented frames per second, counted on the X server over ${RATE_SECONDS} s per screen" \
  "(after ${RATE_SETTLE:-3} s on it); load at start: $(load)"
run_rounds "$rounds" linux windows ${before:+before} || exit 1

echo
printf 'screen   linux fps (min..max)     windows fps (min..max)   linux / windows%s\n' \
  "${before:+   before fps (min..max)    before / windows}"
for screen in menu play craft; do
  awk -v screen="$screen" '
    $3 == "RATE" && $4 == screen { n[$2]++; sum[$2] += $5
                   if (!($2 in lo) || $5 < lo[$2]) lo[$2] = $5
                   if (!($2 in hi) || $5 > hi[$2]) hi[$2] = $5 }
    END {
      l = sum["linux"] / n["linux"]; w = sum["windows"] / n["windows"]
      printf "%-8s %5.1f (%5.1f..%5.1f)    %5.1f (%5.1f..%5.1f)    %5.1f%%", \
             screen, l, lo["linux"], hi["linux"], w, lo["windows"], hi["windows"], 100 * l / w
      if (n["before"]) {
        b = sum["before"] / n["before"]
        printf "            %5.1f (%5.1f..%5.1f)    %5.1f%%", b, lo["before"], hi["before"], 100 * b / w
      }
      printf "\n"
    }' "$results"
done
echo "load at end: $(load)"
