#!/bin/sh
# Writes the solar terms and the new and full moons of 1900-2100 as
# orvanta-cli prints them (PLAN404, standard time of Seoul, the defaults
# without Orvanta.cfg) to tests/data/events_1900_2100.csv, one event a line:
# "year,T<term index>|new|full,datetime". The fixture in the repository was
# made with the bisection searches of earlier versions (0.01 s, always on the
# early side of the crossing); test_event_search.cpp checks that the lists
# keep every event and its time within that error.
#
# usage: tools/make-event-fixture.sh BUILD_DIR [OUTPUT]
set -eu
cli="$1/orvanta-cli"
out="${2:-tests/data/events_1900_2100.csv}"
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cd "$dir"  # no Orvanta.cfg here: the defaults
{
  echo "year,event,datetime"
  y=1900
  while [ "$y" -le 2100 ]; do
    "$cli" terms "$y" --format csv | awk -F, -v y="$y" 'NR > 1 { print y ",T" $1 "," $4 }'
    "$cli" syzygies "$y" --format csv | awk -F, -v y="$y" 'NR > 1 { print y "," $1 "," $2 }'
    y=$((y + 1))
  done
} > "$dir/events.csv"
cd - > /dev/null
mv "$dir/events.csv" "$out"
