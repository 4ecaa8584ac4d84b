#!/bin/sh
# Regenerates data/place_names_ko.cpp from Unicode CLDR (pinned npm packages,
# installed into a scratch folder, never into the repository) and Debian's
# tzdata (zone.tab).
set -e
HERE=$(cd "$(dirname "$0")" && pwd)
SCRATCH=${ORVANTA_CLDR_NPM:-/tmp/orvanta-cldr-npm}
mkdir -p "$SCRATCH"
if [ ! -f "$SCRATCH/package.json" ]; then
  (cd "$SCRATCH" && npm init -y >/dev/null)
fi
(cd "$SCRATCH" && npm install --no-audit --no-fund --silent cldr-localenames-full@48.2.0 cldr-dates-full@48.2.0)
NODE_PATH="$SCRATCH/node_modules" node "$HERE/generate_korean_names.js"
