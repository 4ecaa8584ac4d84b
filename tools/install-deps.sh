#!/bin/sh
# Installs the Debian packages that building and testing Orvanta need, when
# they are missing (file and dpkg-dev make the Debian package with cpack).
# Uses sudo when not run as root. Further packages a caller needs may be
# named as arguments (tools/build-and-test.sh: npm for the generators' checks).
set -e
PACKAGES="cmake make g++ pkg-config qt6-base-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev libswe-dev swe-standard-data libgtest-dev libbenchmark-dev liberfa-dev \
fonts-noto-cjk xvfb xauth desktop-file-utils appstream python3 python3-icalendar python3-casacore casacore-data-jpl-de405 libpluto-jpl-eph-dev \
libcctz-dev tzdata qt6-translations-l10n clang libclang-rt-14-dev reuse poppler-utils \
file dpkg-dev $*"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing:$missing"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
