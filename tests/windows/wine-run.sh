#!/usr/bin/env bash
# Runs a Windows program of the build under Wine: CTest's emulator for the
# cross-built tests, and the Windows test scripts' launcher.
#
#   wine-run.sh <program.exe> [arguments...]
#
# The Wine prefix is $QUARN_WINEPREFIX, or wine-prefix beside the program (the
# build folder): made once (wineboot, no window manager needed, no crash dialog)
# and reused. A Wine server stays up between programs so that each start is
# quick; wine-run.sh --stop ends it at once. Every run is killed after
# $QUARN_WINE_TIMEOUT seconds (300).
set -u

if [ "${1:-}" = --stop ]; then
  : "${QUARN_WINEPREFIX:?--stop needs QUARN_WINEPREFIX}"
  # Killed, then waited for: a program started meanwhile would join the old
  # server (and the X display it serves).
  if [ -d "$QUARN_WINEPREFIX" ]; then
    WINEPREFIX="$QUARN_WINEPREFIX" wineserver -k 2>/dev/null
    WINEPREFIX="$QUARN_WINEPREFIX" timeout -s KILL 30 wineserver -w 2>/dev/null
  fi
  exit 0
fi

program="${1:?usage: wine-run.sh <program.exe> [arguments...]}"
for tool in wine wineserver wineboot timeout flock; do
  command -v "$tool" >/dev/null ||
    { echo "wine-run.sh: $tool is missing: install wine and wine64 (scripts/install-deps.sh windows)" >&2; exit 127; }
done

prefix="${QUARN_WINEPREFIX:-$(cd "$(dirname "$program")" && pwd)/wine-prefix}"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEARCH

# One at a time through the set-up: CTest may start several programs at once.
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/.quarn-ready" ]; then
  rm -rf "$prefix"
  mkdir -p "$(dirname "$prefix")"
  timeout -s KILL 180 wineboot -i </dev/null >/dev/null 2>&1 9>&- ||
    { echo "wine-run.sh: wineboot -i failed for $prefix" >&2; exit 125; }
  # No window manager in the tests: Wine draws the frames itself (and
  # DestroyWindow does not wait for one); a crash ends the program instead of
  # opening a dialog.
  timeout -s KILL 60 wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 9>&- &&
    timeout -s KILL 60 wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
      </dev/null >/dev/null 2>&1 9>&- ||
    { echo "wine-run.sh: cannot set up the registry of $prefix" >&2; exit 125; }
  touch "$prefix/.quarn-ready"
fi
# The server stays a minute after its last program (a start while it is shutting
# down is slow). A fresh one gets its session's own processes (services,
# devices, desktop) started here with no output of ours: the first program
# would otherwise hand them its standard output, and whoever reads it would
# wait for them until the server ends.
if wineserver -p60 </dev/null >/dev/null 2>&1 9>&-; then
  timeout -s KILL 60 wine cmd /c exit 0 </dev/null >/dev/null 2>&1 9>&-
fi
exec 9>&-

exec timeout -s KILL "${QUARN_WINE_TIMEOUT:-300}" wine "$@"
