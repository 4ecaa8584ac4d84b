#!/bin/sh
# Writes LICENSE and the licence texts of LICENSES/ (REUSE layout): the GNU
# GPL 2 (or later) and CC0 1.0 from Debian's base-files (/usr/share/common-licenses),
# the others from the npm package spdx-license-list (the SPDX texts).
# Usage: tools/gen_licenses.sh
set -e
cd "$(dirname "$0")/.."
SPDX_LIST=spdx-license-list@6.12.0
mkdir -p LICENSES
cp /usr/share/common-licenses/GPL-2 LICENSE
cp /usr/share/common-licenses/GPL-2 LICENSES/GPL-2.0-or-later.txt
cp /usr/share/common-licenses/CC0-1.0 LICENSES/CC0-1.0.txt
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && npm pack "$SPDX_LIST" --silent >/dev/null && tar xzf ./*.tgz)
for id in BSD-3-Clause CC-BY-4.0 ISC MIT; do
  node -e 'const j = require(process.argv[1]); process.stdout.write(j.licenseText.replace(/\s*$/, "\n"));' \
    "$tmp/package/licenses/$id.json" > "LICENSES/$id.txt"
done
