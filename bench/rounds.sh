# What the benchmarks that set builds side by side share (sourced): the
# machine's load, a results file, and rounds in which every build takes its
# turn, the order reversed every other round so that a change in the machine's
# load falls on all alike.
#
# The benchmark sets BENCH (its name) and defines `measure <build>`, which runs
# one build and prints its figures as lines that begin with a word in capitals
# (RATE <screen> <fps> ..., MEMORY ..., PAGE ...); every complete run prints a
# "RATE craft" line. `run_rounds <rounds> <build>...` keeps each such line as
# "<round> <build> <line>" in $results (ROUND says the round to `measure`).
# A run that fails (a busy machine can make an e2e step time out) is made once
# more before the benchmark gives up.

load() { cut -d' ' -f1-3 /proc/loadavg; }

results=$(mktemp "${TMPDIR:-/tmp}/quarn-$BENCH.XXXXXX")
trap 'rm -f "$results"' EXIT

run_rounds() {
  local rounds=$1 build out i order
  shift
  for ROUND in $(seq "$rounds"); do
    echo "round $ROUND"
    order=("$@")
    if [ $((ROUND % 2)) = 0 ]; then
      order=()
      for ((i = $#; i > 0; i--)); do order+=("${!i}"); done
    fi
    for build in "${order[@]}"; do
      for i in 1 2; do
        out=$(measure "$build" 2>&1) && grep -q '^RATE craft ' <<<"$out" && break
        echo "$BENCH: the $build build's run failed$([ $i = 1 ] && echo ', once more'):" >&2
        echo "$out" >&2
        [ $i = 1 ] || return 1
      done
      awk -v round="$ROUND" -v build="$build" '/^[A-Z]+ / {print round, build, $0}' <<<"$out" >>"$results"
      printf '  %-8s %s  (load %s)\n' "$build" "$(awk '/^RATE / {printf "%s %5.1f   ", $2, $3}' <<<"$out")" "$(load)"
    done
  done
}
