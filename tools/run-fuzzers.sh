#!/bin/sh
# Runs every fuzz target of a build made with -DORVANTA_FUZZ=ON for a bounded
# time, two at a time, from its seed corpus (tests/fuzz/corpus/<target>, plus
# the head of the build's DE405 file for the JPL reader). New inputs go to
# BUILD/fuzz-corpus/<target>; a crash leaves BUILD/fuzz-artifacts/<target>/.
#   tools/run-fuzzers.sh [BUILD_DIR] [SECONDS_PER_TARGET]
set -e
cd "$(dirname "$0")/.."
BUILD=${1:-build-asan}
SECONDS_EACH=${2:-60}
TARGETS="fuzz_config fuzz_places fuzz_memo fuzz_encoding fuzz_jpl fuzz_cli_args"
# Header and the first data records of DE405 (record of 1018 doubles).
JPL_SEED_BYTES=32576

run_one() {
  name=$1
  corpus="$BUILD/fuzz-corpus/$name"
  artifacts="$BUILD/fuzz-artifacts/$name"
  mkdir -p "$corpus" "$artifacts"
  max_len=4096
  if [ "$name" = fuzz_jpl ]; then
    max_len=$JPL_SEED_BYTES
    if [ -f "$BUILD/testdata/DE405.jpl" ]; then
      head -c "$JPL_SEED_BYTES" "$BUILD/testdata/DE405.jpl" > "$corpus/de405-head.jpl"
    fi
  fi
  # -rss_limit_mb: the sanitizers' shadow memory stays well below it.
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$BUILD/tests/fuzz/$name" -max_total_time="$SECONDS_EACH" -max_len="$max_len" -timeout=25 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "$corpus" "tests/fuzz/corpus/$name" > "$BUILD/fuzz-$name.log" 2>&1 || {
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
