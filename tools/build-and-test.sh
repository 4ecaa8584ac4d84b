#!/bin/sh
# Builds everything and runs every test: the normal build (with the window
# tests, headless), then the engine and command-line tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer (clang, with float-to-int
# overflow checks), and each fuzz target of that build over its corpus and a
# fixed number of inputs from a fixed seed, so the result is the same on every
# run (tools/run-fuzzers.sh BUILD SECONDS searches longer, outside CI). First
# the generated tables are checked against their generators.
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh
# npm fetches the PLAN404 generator's sources (any npm will do).
command -v npm >/dev/null || tools/install-deps.sh npm
JOBS=$(nproc)
export QT_QPA_PLATFORM=offscreen

# Every file states its licence (REUSE: LICENSES/ and .reuse/dep5).
reuse lint

# Every generator with a --check: the committed tables are what it makes from
# its pinned sources. The historical months come from tests/data (offline);
# the PLAN404 tables from the npm package swisseph 0.5.17, fetched with npm.
python3 tools/gen_historical_tables.py --check
python3 tools/gen_plan404_tables.py --check

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$JOBS"
ctest --test-dir build --output-on-failure -j "$JOBS"

# A sanitizer build left by another compiler is made afresh with clang.
if [ -f build-asan/CMakeCache.txt ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' build-asan/CMakeCache.txt; then
  rm -rf build-asan
fi
CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DORVANTA_SANITIZE=ON \
  -DORVANTA_FUZZ=ON -DORVANTA_BUILD_GUI=OFF -DORVANTA_BUILD_BENCH=OFF
cmake --build build-asan -j "$JOBS"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$JOBS" -LE slow -E Slow
tools/run-fuzzers.sh --replay build-asan
