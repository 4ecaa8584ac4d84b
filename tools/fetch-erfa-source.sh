#!/bin/sh
# Downloads Debian's erfa source package into DIR (default /tmp/erfa-src) for
# tools/gen_erfa_series.py. apt needs a deb-src entry for this; one is added
# for the download (same archive and suite as the first deb entry) and removed
# again afterwards. Run as root or with sudo.
set -e
DIR=${1:-/tmp/erfa-src}
LIST=/etc/apt/sources.list.d/orvanta-erfa-src.sources
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
SUITE=$(. /etc/os-release && echo "$VERSION_CODENAME")
cleanup() { $SUDO rm -f "$LIST"; $SUDO apt-get update -qq || true; }
trap cleanup EXIT
$SUDO sh -c "cat > $LIST" <<SRC
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $SUITE
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
$SUDO apt-get update -qq
mkdir -p "$DIR"
cd "$DIR"
apt-get source --download-only erfa
ls "$DIR"/erfa_*.dsc
