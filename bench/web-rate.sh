#!/usr/bin/env bash
# The browser build's frame rate on the menu, play and craft screens beside the
# Linux build's on the same machine, and the page's size. The Linux build's
# frames are counted on the X server (the e2e harness's rates case); the
# browser's are the game's own count in headless Chromium (bench/web-rate.js),
# with the display frames the page was given, which bound it. The two take
# turns, the order swapping every round.
#
#   bench/web-rate.sh [rounds]        (2 rounds by default)
#
# Environment: LINUX_BUILD (build), WEB_BUILD (build-web, whose web-tests
# folder has puppeteer-core: run its browser tests once), QUARN_PAGE
# (dist/quarn.html), RATE_SECONDS (5).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-2}
linux=$(cd "${LINUX_BUILD:-$root/build}" && pwd) || exit 2
web=$(cd "${WEB_BUILD:-$root/build-web}" && pwd) || exit 2
page=${QUARN_PAGE:-$root/dist/quarn.html}
for f in "$linux/quarn" "$linux/quarn-e2e-close" "$linux/quarn-present-count" "$page" \
         "$web/web-tests/node_modules/puppeteer-core"; do
  [ -e "$f" ] || { echo "web-rate: missing $f" >&2; exit 2; }
done
BENCH=web-rate
. "$root/bench/rounds.sh"

measure() {
  if [ "$1" = linux ]; then
    QUARN_BUILD_DIR="$linux" QUARN_CLOSE="$linux/quarn-e2e-close" bash "$root/tests/e2e/e2e.sh" rates
  else
    NODE_PATH="$web/web-tests/node_modules" QUARN_PAGE="$page" node "$root/bench/web-rate.js"
  fi
}

echo "frames per second per screen; load at start: $(load)"
run_rounds "$rounds" linux web || exit 1

echo
echo "page: $page, $(awk '$3 == "PAGE" {print $4; exit}' "$results") bytes"
printf 'screen   linux fps   web fps (display frames/s)   web turn ms (median, 95th pct)\n'
for screen in menu play craft; do
  awk -v screen="$screen" '
    $3 == "RATE" && $4 == screen && $2 == "linux" { ln++; ls += $5 }
    $3 == "RATE" && $4 == screen && $2 == "web" { wn++; ws += $5; wd += $6; wm += $7; wp += $8 }
    END { printf "%-8s %6.1f      %6.1f (%5.1f)               %4.2f, %4.2f\n", screen, ls / ln, ws / wn, wd / wn, wm / wn, wp / wn }' "$results"
done
