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
results=$(mktemp "${TMPDIR:-/tmp}/quarn-present-rate.XXXXXX")
trap 'rm -f "$results"' EXIT

load() { cut -d' ' -f1-3 /proc/loadavg; }

run() {  # run <build name>
  local out status
  if [ "$1" = linux ]; then
    out=$(QUARN_BUILD_DIR="$linux" QUARN_CLOSE="$linux/quarn-e2e-close" bash "$root/tests/e2e/e2e.sh" rates 2>&1)
  elif [ "$1" = before ]; then
    out=$(QUARN_BIN="$before/quarn" QUARN_BUILD_DIR="$linux" QUARN_CLOSE="$linux/quarn-e2e-close" \
          bash "$root/tests/e2e/e2e.sh" rates 2>&1)
  else
    out=$(QUARN_BUILD_DIR="$windows" QUARN_CLOSE="$linux/quarn-e2e-close" bash "$root/tests/e2e/e2e-windows.sh" rates 2>&1)
  fi
  status=$?
  if [ $status != 0 ] || ! grep -q '^RATE craft ' <<<"$out"; then
    echo "present-rate: the $1 build's run failed:" >&2
    echo "$out" >&2
    return 1
  fi
  awk -v build="$1" -v round="$r" '/^RATE / {print round, build, $2, $3}' <<<"$out" >>"$results"
  printf '  %-7s %s   (load %s)\n' "$1" "$(awk '/^RATE / {printf "%s %5.1f   ", $2, $3}' <<<"$out")" "$(load)"
}

echo "presented frames per second, counted on the X server over ${RATE_SECONDS} s per screen" \
  "(after ${RATE_SETTLE:-3} s on it); load at start: $(load)"
for r in $(seq "$rounds"); do
  echo "round $r"
  if [ $((r % 2)) = 1 ]; then order="linux windows ${before:+before}"; else order="${before:+before} windows linux"; fi
  for build in $order; do run "$build" || exit 1; done
done

echo
printf 'screen   linux fps (min..max)     windows fps (min..max)   linux / windows%s\n' \
  "${before:+   before fps (min..max)    before / windows}"
for screen in menu play craft; do
  awk -v screen="$screen" '
    $3 == screen { n[$2]++; sum[$2] += $4
                   if (!($2 in lo) || $4 < lo[$2]) lo[$2] = $4
                   if (!($2 in hi) || $4 > hi[$2]) hi[$2] = $4 }
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
