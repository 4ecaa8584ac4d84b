#!/bin/sh
# Builds the .deb of the build tree with cpack into a temporary folder, lists
# its contents and checks that the programs are in it without their debug
# information, that it recommends a Korean font and that it stays small.
set -e
build="$1"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
if ! cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
  cat "$out/cpack.log"
  exit 1
fi
deb=$(ls "$out"/*.deb)
dpkg-deb -c "$deb" | tee "$out/contents"
programs="orvanta-cli"
grep -q 'ORVANTA_BUILD_GUI:BOOL=ON' "$build/CMakeCache.txt" && programs="$programs orvanta"
for f in $programs; do
  grep -q " \./usr/bin/$f\$" "$out/contents" || { echo "missing usr/bin/$f"; exit 1; }
done
for f in usr/share/applications/orvanta.desktop usr/share/doc/orvanta/copyright \
         usr/share/metainfo/io.github.orvanta.Orvanta.metainfo.xml; do
  grep -q " \./$f\$" "$out/contents" || { echo "missing $f"; exit 1; }
done
dpkg-deb -f "$deb" Recommends | grep -q fonts-noto-cjk || { echo "fonts-noto-cjk is not recommended"; exit 1; }
dpkg-deb -x "$deb" "$out/root"
for f in $programs; do
  bin="$out/root/usr/bin/$f"
  file -b "$bin" | tee "$out/file"
  grep -q ', stripped' "$out/file" || { echo "usr/bin/$f is not stripped"; exit 1; }
  # A stripped program of this size holds code and tables only; with debug
  # information the window program alone was 15 MB.
  size=$(stat -c %s "$bin")
  [ "$size" -lt 8000000 ] || { echo "usr/bin/$f is $size bytes"; exit 1; }
done
"$out/root/usr/bin/orvanta-cli" jd 2000 1 1 | grep -qx 2451544.500000
size=$(stat -c %s "$deb")
[ "$size" -lt 4000000 ] || { echo "the package is $size bytes"; exit 1; }
echo "package ok: $(basename "$deb"), $size bytes"
