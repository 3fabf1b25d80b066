#!/usr/bin/env bash
# What running the game costs, each build beside the others in one run: on the
# menu, play and craft screens the frames presented per second and the
# processor time taken meanwhile, as a share of one core; and the resident
# memory after one F1 and after 100 (first round only). The builds:
#   layer    build/quarn drawing through the GL 1.1 layer on OpenGL ES 3 (its
#            choice where it can have an ES 3 context; QUARN_GL=layer): the
#            game's process; frames counted on the X server
#   desktop  build/quarn drawing with the system's OpenGL (QUARN_GL=desktop)
#   windows  build-windows/quarn.exe under Wine: the game's process + the Wine
#            server; frames counted on the X server
#   web      dist/quarn.html in headless Chromium: the renderer + the GPU
#            process; frames the game's own count (a headless page presents to
#            no X window), memory those two processes'
#   before   (with BEFORE_BUILD) another Linux build folder, say of an older commit
# Each takes its turn in every round, the order reversed every other round, and
# every line shows the machine's load. At the end, the Linux build's frames'
# own drawing cost on either OpenGL (bench/timedemo.sh, offscreen: the time
# and processor time a frame takes there, and its ratio to the floor, a clear
# and one quad over the view), beside what the build took and its targets.
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
    # gl_<path>_rates: the path forced, and the run fails unless it drew.
    layer|desktop) RATE_TOGGLES=$t QUARN_BUILD_DIR="$linux" QUARN_CLOSE="$linux/quarn-e2e-close" \
                     bash "$root/tests/e2e/e2e.sh" "gl_$1_rates" ;;
    before) RATE_TOGGLES=$t QUARN_BIN="$before/quarn" QUARN_BUILD_DIR="$linux" QUARN_CLOSE="$linux/quarn-e2e-close" \
              bash "$root/tests/e2e/e2e.sh" rates ;;
    windows) RATE_TOGGLES=$t QUARN_BUILD_DIR="$windows" QUARN_CLOSE="$linux/quarn-e2e-close" \
               bash "$root/tests/e2e/e2e-windows.sh" rates ;;
    web) RATE_TOGGLES=$t NODE_PATH="$web/web-tests/node_modules" QUARN_PAGE="$page" node "$root/bench/web-rate.js" ;;
  esac
}

builds="layer desktop windows web${before:+ before}"
echo "frames per second over ${RATE_SECONDS} s per screen (after ${RATE_SETTLE:-3} s on it), processor time" \
  "meanwhile; load at start: $(load)"
run_rounds "$rounds" $builds || exit 1
echo "load at end: $(load)"

# RATE lines: layer, desktop and before <fps> <game %>; windows <fps> <game %> <wine server %>;
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
    END { w = f["windows"] / n["windows"]
          printf "%-7s fps / windows: layer %5.1f%%, desktop %5.1f%%", screen, 100 * f["layer"] / n["layer"] / w,
                 100 * f["desktop"] / n["desktop"] / w
          if (n["before"]) printf ", before %5.1f%%", 100 * f["before"] / n["before"] / w
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
  demo=$(bash "$root/bench/timedemo.sh" "$linux" 2>&1)
  for gl in layer desktop; do
    # "timedemo <screen>: <n> frames <s> s <wall> ms/frame, processor <ms> ms/frame", and
    # "timedemo floor: <n> frames <wall> ms/frame, processor <ms> ms/frame (...); ratio <r>"
    part=$(sed -n "/^== $gl OpenGL/,/^end frames/p" <<<"$demo")
    floor=$(awk '$1 == "timedemo" && $2 == "floor:" {print $5, $8}' <<<"$part")
    echo "  $gl: floor ${floor% *} ms a frame (processor ${floor#* } ms); whole session ratio to the floor" \
         "$(awk '$2 == "floor:" {print $NF}' <<<"$part")"
    for screen in menu play craft; do
      ms=$(awk -v s="$screen" '$1 == "timedemo" && $2 == s ":" {print $(NF-1), $(NF-4)}' <<<"$part")
      # The targets of the layer, the build's own choice: 15, 50 and 35% of a core.
      awk -v screen="$screen" -v gl="$gl" -v ms="${ms% *}" -v wall="${ms#* }" -v fl="${floor% *}" '
        $2 == gl && $3 == "RATE" && $4 == screen { n++; f += $5; c += $6 }
        END { cost = ms * f / n / 10
              target = gl != "layer" ? "" : sprintf(" (target: at most %d%%)", screen == "menu" ? 15 : screen == "play" ? 50 : 35)
              printf "    %-6s %s ms of processor a frame, %s ms of time (%.2f x the floor) x %.1f fps = %.1f%% of one core;" \
                     " the build took %.1f%%%s\n", screen, ms, wall, wall / fl, f / n, cost, c / n, target }' "$results"
    done
  done
fi
