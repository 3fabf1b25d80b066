#!/usr/bin/env bash
# The page in the three browsers the tests use, side by side: the game's frame
# rate on the menu, play and craft screens (with the display frames the
# browser gave the page, which bound it), how long the page's turns take, and
# the time from the navigation to the first frame drawn, from
# bench/web-rate.js in headless Chromium, in Firefox ESR and in WebKitGTK's
# MiniBrowser. The browsers take turns, the order turning round every round,
# so that a change of load falls on each.
#
#   bench/web-browsers.sh [rounds]        (2 rounds by default)
#
# Environment: WEB_BUILD (build-web, whose web-tests folder has
# puppeteer-core: run its browser tests once), QUARN_PAGE (dist/quarn.html),
# RATE_SECONDS (5).
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-2}
web=$(cd "${WEB_BUILD:-$root/build-web}" && pwd) || exit 2
page=${QUARN_PAGE:-$root/dist/quarn.html}
for f in "$page" "$web/web-tests/node_modules/puppeteer-core"; do
  [ -e "$f" ] || { echo "web-browsers: missing $f" >&2; exit 2; }
done
results=$(mktemp "${TMPDIR:-/tmp}/quarn-web-browsers.XXXXXX")
trap 'rm -f "$results"' EXIT
load() { cut -d' ' -f1-3 /proc/loadavg; }

run() {
  local out
  out=$(QUARN_BROWSER="$1" NODE_PATH="$web/web-tests/node_modules" QUARN_PAGE="$page" node "$root/bench/web-rate.js" 2>&1)
  grep -q '^RATE craft ' <<<"$out" || { echo "web-browsers: the $1 run failed:" >&2; echo "$out" >&2; return 1; }
  awk -v browser="$1" '/^RATE / {print browser, $2, $3, $4, $5} /^FIRST / {print browser, "first", $2}' <<<"$out" >>"$results"
  echo "  $1 done (load $(load))"
}

browsers=(chromium firefox webkit)
echo "the page in ${#browsers[@]} browsers; load at start: $(load)"
for r in $(seq "$rounds"); do
  echo "round $r"
  for i in "${!browsers[@]}"; do
    run "${browsers[$(( (i + r - 1) % ${#browsers[@]} ))]}" || exit 1
  done
done

echo
echo "frames per second: the game's (the display frames the browser gave the page); a turn's median ms"
printf 'browser    menu                  play                  craft                 first frame ms\n'
for browser in "${browsers[@]}"; do
  awk -v browser="$browser" '
    $1 != browser { next }
    $2 == "first" { fn++; first += $3; next }
    { n[$2]++; fps[$2] += $3; display[$2] += $4; turn[$2] += $5 }
    END {
      printf "%-9s", browser
      for (i = 1; i <= 3; i++) {
        s = i == 1 ? "menu" : i == 2 ? "play" : "craft"
        printf "  %5.1f (%5.1f) %4.1f", fps[s] / n[s], display[s] / n[s], turn[s] / n[s]
      }
      printf "   %6.0f\n", first / fn
    }' "$results"
done
