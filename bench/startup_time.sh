#!/bin/sh
# CPU time from start to the first painted window: runs the window program
# with --screenshot (offscreen Qt platform) ROUNDS times in a fresh folder
# (no Orvanta.cfg: the defaults) and prints each run's user + system CPU
# seconds and their median.
#
# usage: bench/startup_time.sh BUILD_DIR [ROUNDS]
set -eu
program="$(cd "$1" && pwd)/orvanta"
rounds="${2:-9}"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"
i=0
while [ "$i" -lt "$rounds" ]; do
  QT_QPA_PLATFORM=offscreen /usr/bin/time -f "%U %S" -o "$dir/time.txt" "$program" --screenshot "$dir/shot.png" \
    > /dev/null 2>&1
  awk '{ printf "%.2f\n", $1 + $2 }' "$dir/time.txt" >> "$dir/cpu.txt"
  i=$((i + 1))
done
sort -n "$dir/cpu.txt" | awk '{ v[NR] = $1 } END { printf "runs:"; for (i = 1; i <= NR; ++i) printf " %s", v[i];
  printf "\nmedian CPU seconds: %s\n", v[int((NR + 1) / 2)] }'
