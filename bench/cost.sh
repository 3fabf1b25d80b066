#!/usr/bin/env bash
# What running the game costs, each build beside the others in one run: on the
# menu, play and craft screens the frames presented per second and the
# processor time taken meanwhile, as a share of one core; and the resident
# memory after one F1 and after 100 (first round only). The builds:
#   linux    build/quarn: the game's process; frames counted on the X server
#   windows  build-windows/quarn.exe under Wine: the game's process + the Wine
#            server; frames counted on the X server
#   web      dist/quarn.html in headless Chromium: the renderer + the GPU
#            process; frames the game's own count (a headless page presents to
#            no X window), memory those two processes'
#   before   (with BEFORE_BUILD) another Linux build folder, say of an older commit
# Each takes its turn in every round, the order reversed every other round, and
# every line shows the machine's load. At the end, the Linux build's frames'
# own drawing cost (bench/timedemo.sh, offscreen: the processor time a frame
# takes there, times the frames presented), to judge its processor time against.
#
#   bench/cost.sh [rounds]        (2 by default)
#
# Environment: LINUX_BUILD (build), WINDOWS_BUILD (build-windows), WEB_BUILD
# (build-web, whose web-tests folder has puppeteer-core: run its browser tests
# once), QUARN_PAGE (dist/quarn.html), BEFORE_BUILD, RATE_SECONDS (5),
# RATE_SETTLE (3), RATE_TOGGLES (100), TIMEDEMO (1; 0 skips it).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-2}
linux=$(cd "${LINUX_BUILD:-$root/build}" && pwd) || exit 2
windows=$(cd "${WINDOWS_BUILD:-$root/build-windows}" && pwd) || exit 2
web=$(cd "${WEB_BUILD:-$root/build-web}" && pwd) || exit 2
page=${QUARN_PAGE:-$root/dist/quarn.html}
before=""
[ -z "${BEFORE_BUILD:-}" ] || before=$(cd "$BEFORE_BUILD" && pwd) || exit 2
for f in "$linux/quarn" "$linux/quarn-e2e-close" "$linux/quarn-present-count" "$windows/quarn.exe" "$page" \
         "$web/web-tests/node_modules/puppeteer-core" ${before:+"$before/quarn"}; do
  [ -e "$f" ] || { echo "cost: missing $f (build the three builds, run the browser tests once)" >&2; exit 2; }
done
export RATE_SECONDS=${RATE_SECONDS:-5}
toggles=${RATE_TOGGLES:-100}
BENCH=cost
. "$root/bench/rounds.sh"

measure() {
  local t=0
  [ "$ROUND" != 1 ] || t=$toggles
  case $1 in
    linux) RATE_TOGGLES=$t QUARN_BUILD_DIR="$linux" QUARN_CLOSE="$linux/quarn-e2e-close" \
             bash "$root/tests/e2e/e2e.sh" rates ;;
    before) RATE_TOGGLES=$t QUARN_BIN="$before/quarn" QUARN_BUILD_DIR="$linux" QUARN_CLOSE="$linux/quarn-e2e-close" \
              bash "$root/tests/e2e/e2e.sh" rates ;;
    windows) RATE_TOGGLES=$t QUARN_BUILD_DIR="$windows" QUARN_CLOSE="$linux/quarn-e2e-close" \
               bash "$root/tests/e2e/e2e-windows.sh" rates ;;
    web) RATE_TOGGLES=$t NODE_PATH="$web/web-tests/node_modules" QUARN_PAGE="$page" node "$root/bench/web-rate.js" ;;
  esac
}

builds="linux windows web${before:+ before}"
echo "frames per second over ${RATE_SECONDS} s per screen (after ${RATE_SETTLE:-3} s on it), processor time" \
  "meanwhile; load at start: $(load)"
run_rounds "$rounds" $builds || exit 1
echo "load at end: $(load)"

# RATE lines: linux and before <fps> <game %>; windows <fps> <game %> <wine server %>;
# web <fps> <display fps> <turn ms> <turn ms> <renderer %> <gpu %>.
echo
printf '%-7s %-8s %-19s %s\n' screen build "fps (min..max)" "% of one core (min..max)"
for screen in menu play craft; do
  for build in $builds; do
    awk -v screen="$screen" -v build="$build" '
      function range(sum, lo, hi) { return sprintf("%5.1f (%5.1f..%5.1f)", sum / n, lo, hi) }
      $2 == build && $3 == "RATE" && $4 == screen {
        if (build == "web") { a = $9; b = $10 } else { a = $6; b = $7 }
        n++; f += $5; c += a; d += b
        if (n == 1 || $5 < flo) flo = $5; if (n == 1 || $5 > fhi) fhi = $5
        if (n == 1 || a < clo) clo = a; if (n == 1 || a > chi) chi = a
        if (n == 1 || b < dlo) dlo = b; if (n == 1 || b > dhi) dhi = b }
      END {
        cpu = range(c, clo, chi)
        if (build == "windows") cpu = cpu " game + " range(d, dlo, dhi) " Wine server"
        if (build == "web") cpu = cpu " renderer + " range(d, dlo, dhi) " GPU process"
        printf "%-7s %-8s %s %s\n", screen, build, range(f, flo, fhi), cpu }' "$results"
  done
done

echo
for screen in menu play craft; do
  awk -v screen="$screen" '
    $3 == "RATE" && $4 == screen { n[$2]++; f[$2] += $5 }
    END { printf "%-7s linux / windows fps %5.1f%%", screen, 100 * f["linux"] / n["linux"] / (f["windows"] / n["windows"])
          if (n["before"]) printf ", before / windows %5.1f%%", 100 * f["before"] / n["before"] / (f["windows"] / n["windows"])
          printf "\n" }' "$results"
done

if [ "$toggles" -gt 0 ]; then
  echo
  echo "resident memory (KiB) after 1 F1 and after $toggles:"
  for build in $builds; do
    awk -v build="$build" -v last="$toggles" '$2 == build && $3 == "MEMORY" { kib[$4] = $5 }
      END { printf "  %-8s after 1: %s, after %s: %s\n", build, kib[1], last, kib[last] }' "$results"
  done
fi

if [ "${TIMEDEMO:-1}" != 0 ] && [ -x "$linux/quarn-replay" ]; then
  echo
  echo "the Linux build's frames' own drawing cost (bench/timedemo.sh, offscreen; load $(load)):"
  demo=$(bash "$root/bench/timedemo.sh" "$linux" 2>&1 | sed -n '/desktop OpenGL/,/^==/p')
  for screen in menu play craft; do
    # "timedemo <screen>: <n> frames <s> s <wall> ms/frame, processor <ms> ms/frame"
    ms=$(awk -v s="$screen" '$1 == "timedemo" && $2 == s ":" {print $(NF-1), $(NF-4)}' <<<"$demo")
    # The targets: a quarter of a core on the menu, the drawing cost + 10 points in play and craft.
    awk -v screen="$screen" -v ms="${ms% *}" -v wall="${ms#* }" '
      $2 == "linux" && $3 == "RATE" && $4 == screen { n++; f += $5; c += $6 }
      END { cost = ms * f / n / 10; target = screen == "menu" ? 25 : cost + 10
            printf "  %-6s %s ms of processor a frame (%s ms of time) x %.1f fps = %.1f%% of one core;" \
                   " the build took %.1f%% (target: at most %.1f%%)\n", screen, ms, wall, f / n, cost, c / n, target }' "$results"
  done
fi
