#!/usr/bin/env bash
# Builds dist/quarn.html and opens it in the installed browser, or says which
# file to open.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-web.sh
page="$PWD/dist/quarn.html"
for browser in xdg-open sensible-browser chromium firefox; do
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && command -v "$browser" >/dev/null 2>&1; then
    exec "$browser" "$page"
  fi
done
echo "Open $page in a web browser."
