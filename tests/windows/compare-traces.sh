#!/usr/bin/env bash
# The replay tool of the Windows build, under Wine, against the Linux build's:
# traces and world dumps must be the same bytes for the same seeds and scripts.
#
#   compare-traces.sh <linux quarn-replay> <windows quarn-replay.exe>
set -u
linux="${1:?usage: compare-traces.sh <linux quarn-replay> <windows quarn-replay.exe>}"
windows="${2:?usage: compare-traces.sh <linux quarn-replay> <windows quarn-replay.exe>}"
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

[ -x "$linux" ] || { echo "compare-traces: no Linux replay tool at $linux (build build/ first: scripts/test.sh does)" >&2; exit 1; }
[ -f "$windows" ] || { echo "compare-traces: no $windows" >&2; exit 1; }

out=$(mktemp -d "${TMPDIR:-/tmp}/quarn-traces.XXXXXX")
trap 'rm -rf "$out"' EXIT

passed=0 failed=0
for script in tests/screens/full_session.script bench/play_session.script docs/screens.script; do
  for seed in 0 7 424242 4294967295; do
    args=(--seed "$seed" --script "$root/$script" --trace --dump-world)
    "$linux" "${args[@]}" >"$out/linux" 2>"$out/linux.err"
    a=$?
    "$here/wine-run.sh" "$windows" "${args[@]}" >"$out/windows" 2>"$out/windows.err"
    b=$?
    what="$script seed $seed"
    if [ "$a" != 0 ] || [ "$b" != 0 ]; then
      echo "FAIL $what: status $a on Linux, $b on Windows"; cat "$out/linux.err" "$out/windows.err"
      failed=$((failed + 1))
    elif ! cmp -s "$out/linux" "$out/windows"; then
      echo "FAIL $what: the outputs differ"
      cmp "$out/linux" "$out/windows" | head -1
      diff <(head -c 2000000 "$out/linux" | cat -A) <(head -c 2000000 "$out/windows" | cat -A) | head -6
      failed=$((failed + 1))
    else
      echo "same bytes: $what ($(wc -l <"$out/linux") lines, $(wc -c <"$out/linux") bytes)"
      passed=$((passed + 1))
    fi
  done
done
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
