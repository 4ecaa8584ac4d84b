#!/bin/sh
# Runs every fuzz target of a build made with -DORVANTA_FUZZ=ON, two at a
# time, from its seed corpus (tests/fuzz/corpus/<target>, plus the head of the
# build's DE405 file for the JPL reader). Two modes:
#
#   tools/run-fuzzers.sh --replay [BUILD_DIR]
#       What CI runs: each target replays its whole corpus, then a fixed
#       number of new inputs from a fixed seed (-seed, -runs). The same
#       sources give the same inputs, so a run passes or fails the same way
#       every time; the seed corpus is never changed.
#
#   tools/run-fuzzers.sh [BUILD_DIR] [SECONDS_PER_TARGET]
#       A search for new faults, bounded in time (60 s a target by default).
#       New inputs go to BUILD/fuzz-corpus/<target>. A crash leaves its input
#       in BUILD/fuzz-artifacts/<target>/: copy it into
#       tests/fuzz/corpus/<target>/ with the fix, so every later replay
#       checks it.
set -e
cd "$(dirname "$0")/.."
MODE=time
if [ "${1:-}" = "--replay" ]; then
  MODE=replay
  shift
fi
BUILD=${1:-build-asan}
# Absolute, since fuzz_cli_run works in a folder of its own.
BUILD=$(cd "$BUILD" && pwd)
SECONDS_EACH=${2:-60}
TARGETS="fuzz_config fuzz_places fuzz_memo fuzz_encoding fuzz_jpl fuzz_cli_args fuzz_cli_run"
# Header and the first data records of DE405 (record of 1018 doubles).
JPL_SEED_BYTES=32576
# The seed of every replay run.
REPLAY_SEED=20261210

# New inputs a replay tries after the corpus, per target: chosen so the whole
# stage takes a few minutes on two cores under the sanitizers (the readers
# take well under a millisecond an input; a whole command takes up to tens).
replay_runs() {
  case $1 in
    fuzz_cli_run) echo 1500 ;;
    fuzz_jpl) echo 6000 ;;
    *) echo 30000 ;;
  esac
}

run_one() {
  name=$1
  artifacts="$BUILD/fuzz-artifacts/$name"
  mkdir -p "$artifacts"
  max_len=4096
  if [ "$MODE" = replay ]; then
    # A fresh, empty folder takes the inputs found on the way, so neither the
    # seed corpus nor the next replay sees them.
    corpus="$BUILD/fuzz-replay/$name"
    rm -rf "$corpus"
    mkdir -p "$corpus"
    limits="-seed=$REPLAY_SEED -runs=$(replay_runs "$name")"
  else
    corpus="$BUILD/fuzz-corpus/$name"
    mkdir -p "$corpus"
    limits="-max_total_time=$SECONDS_EACH"
  fi
  seeds="$(pwd)/tests/fuzz/corpus/$name"
  if [ "$name" = fuzz_jpl ]; then
    max_len=$JPL_SEED_BYTES
    if [ -f "$BUILD/testdata/DE405.jpl" ]; then
      mkdir -p "$BUILD/fuzz-seeds/$name"
      head -c "$JPL_SEED_BYTES" "$BUILD/testdata/DE405.jpl" > "$BUILD/fuzz-seeds/$name/de405-head.jpl"
      seeds="$seeds $BUILD/fuzz-seeds/$name"
    fi
  fi
  # -rss_limit_mb: the sanitizers' shadow memory stays well below it.
  # shellcheck disable=SC2086
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$BUILD/tests/fuzz/$name" $limits -max_len="$max_len" -timeout=25 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "$corpus" $seeds > "$BUILD/fuzz-$name.log" 2>&1 || {
      echo "fuzz target $name failed; the end of its log:" >&2
      tail -n 60 "$BUILD/fuzz-$name.log" >&2
      return 1
    }
  echo "$name: $(grep -E '^stat::number_of_executed_units' "$BUILD/fuzz-$name.log" | awk '{print $2}') inputs"
}

status=0
set -- $TARGETS
while [ $# -gt 0 ]; do
  first=$1; shift
  run_one "$first" & a=$!
  b=
  if [ $# -gt 0 ]; then second=$1; shift; run_one "$second" & b=$!; fi
  wait $a || status=1
  if [ -n "$b" ]; then wait $b || status=1; fi
done
exit $status
