#!/usr/bin/env bash
# Builds the Korvane installer with NSIS (Debian package nsis).
#   build-installer.sh OUTPUT BIN64 [BIN32]
# BIN64 and BIN32 are the bin folders of the 64-bit and 32-bit builds (each holds
# Korvane.dll, Retrakt.exe and Korvane.chm). With both, OUTPUT is the release
# installer, a 32-bit program that installs the builds of the system's bitness;
# with BIN64 alone, a 64-bit installer of the 64-bit builds.
set -eu
[ $# -ge 2 ] || { echo "usage: build-installer.sh OUTPUT BIN64 [BIN32]" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
output=$1 bin64=$(cd "$2" && pwd) bin32=${3:+$(cd "$3" && pwd)}
command -v makensis >/dev/null || { echo "makensis is missing (Debian package nsis; tools/install-deps.sh installs it)" >&2; exit 1; }
for f in "$bin64/Korvane.dll" "$bin64/Retrakt.exe" "$bin64/Korvane.chm" ${bin32:+"$bin32/Korvane.dll" "$bin32/Retrakt.exe"}; do
  [ -f "$f" ] || { echo "build-installer: $f is missing: build it first" >&2; exit 1; }
done
mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")

# The builds carry their debug information; the installed copies go without it.
staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
stage() {  # stage FROM TO STRIP
  mkdir -p "$2"
  cp "$1/Korvane.dll" "$1/Retrakt.exe" "$2/"
  [ -f "$1/Korvane.chm" ] && cp "$1/Korvane.chm" "$2/"
  if command -v "$3" >/dev/null; then "$3" --strip-debug "$2/Korvane.dll" "$2/Retrakt.exe"; fi
}
stage "$bin64" "$staging/64" x86_64-w64-mingw32-strip
defines=(-DOUTFILE="$output" -DBIN64="$staging/64" -DICON="$root/src/resources/korvane.ico")
if [ -n "$bin32" ]; then
  stage "$bin32" "$staging/32" i686-w64-mingw32-strip
  defines+=(-DBIN32="$staging/32")
else
  defines+=(-DTARGET_AMD64)
fi
makensis -V2 -WX -INPUTCHARSET UTF8 "${defines[@]}" "$root/installer/korvane.nsi"
echo "Built: $output"
