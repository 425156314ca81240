#!/usr/bin/env bash
# Builds the extension and runs it under Wine in korvane_host, the project's
# stand-in for Explorer (tools/host/).
#
#   tools/run-extension.sh [FOLDER]
#
# With a display (DISPLAY set) the host's window opens on FOLDER, or on a generated
# sample folder: right-click files or a folder and choose the extension's item.
# Without a display (or with KORVANE_DEMO=1) it runs under its own Xvfb on a
# generated sample folder and drives whole commands through the real context menu
# and dialogs: *.txt to the clipboard, *.txt copied to a folder with subfolders, and
# a folder-mode move. It prints what was matched and done and saves a PNG
# screenshot of every menu and dialog in <build>/host-run/.
#
# Environment:
#   KORVANE_SKIP_DEPS=1      do not install packages first
#   KORVANE_BUILD_DIR=dir    use this existing 64-bit build folder (only the DLL and the
#                            host are built there) instead of building the presets
#   KORVANE_WINE_VERSION=v   the Windows version Wine reports (win7 by default; winxp
#                            shows the selection made in the host's list view)
set -eu
cd "$(dirname "$0")/.."
root=$PWD

if [ -n "${KORVANE_BUILD_DIR:-}" ]; then
  build=$(cd "$KORVANE_BUILD_DIR" && pwd)
  cmake --build "$build" --target Korvane korvane_host
else
  [ "${KORVANE_SKIP_DEPS:-0}" = 1 ] || bash tools/install-deps.sh
  for preset in win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$(nproc)"
  done
  tools/build-installer.sh build/installer/Korvane-setup.exe build/win64/bin build/win32/bin
  echo "Built: build/win64/bin/Korvane.dll build/win32/bin/Korvane.dll build/win64/bin/Retrakt.exe"
  echo "       build/win32/bin/Retrakt.exe build/win64/bin/Korvane.chm build/installer/Korvane-setup.exe"
  build=$root/build/win64
fi

export KORVANE_WINE_DIR=$build/wine
host=$build/bin/korvane_host.exe
# Wine shows the Unix root as drive Z:.
winpath() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

if [ -n "${DISPLAY:-}" ] && [ "${KORVANE_DEMO:-0}" != 1 ]; then
  tools/wine-run.sh --setup
  args=()
  [ $# -gt 0 ] && args=("$(winpath "$(cd "$1" && pwd)")")
  rc=0
  WINEPREFIX=$KORVANE_WINE_DIR/prefix WINEARCH=win64 WINEDEBUG=-all LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 \
    wine "$host" ${args[@]+"${args[@]}"} || rc=$?
  tools/wine-run.sh --shutdown
  exit "$rc"
fi

out=$build/host-run
mkdir -p "$out"
unset DISPLAY
rc=0
KORVANE_TEST_TIMEOUT=300 tools/wine-run.sh "$host" --demo "$(winpath "$out")" || rc=$?
tools/wine-run.sh --shutdown
echo
echo "Screenshots in $out:"
ls "$out"/*.png 2>/dev/null | sed 's/^/  /' || echo "  (none)"
exit "$rc"
