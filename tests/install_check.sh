#!/bin/sh
# Installs the build tree into a temporary prefix and checks the desktop
# integration files (validated with desktop-file-validate and appstreamcli
# when those tools are installed).
set -e
build="$1"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/orvanta-cli share/applications/orvanta.desktop \
         share/metainfo/io.github.orvanta.Orvanta.metainfo.xml \
         share/icons/hicolor/scalable/apps/io.github.orvanta.Orvanta.svg \
         share/doc/orvanta/copyright; do
  [ -e "$prefix/$f" ] || { echo "missing $f"; exit 1; }
done
"$prefix/bin/orvanta-cli" jd 2000 1 1 | grep -qx 2451544.500000
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/orvanta.desktop"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/io.github.orvanta.Orvanta.metainfo.xml" ||
    appstreamcli validate --no-net "$prefix/share/metainfo/io.github.orvanta.Orvanta.metainfo.xml"
fi
echo "install tree ok"
