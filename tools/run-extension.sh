#!/usr/bin/env bash
# Builds the extension (64-bit and 32-bit) and runs it under Wine.
set -eu
cd "$(dirname "$0")/.."
[ "${KORVANE_SKIP_DEPS:-0}" = 1 ] || bash tools/install-deps.sh
for preset in win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done
echo "Built: build/win64/bin/Korvane.dll build/win32/bin/Korvane.dll"
export KORVANE_WINE_DIR=$PWD/build/win64/wine
tools/wine-run.sh build/win64/bin/com_server_test.exe --gtest_filter='ComServer.DllLoads*:ComServer.TwoFaces*'
echo "Korvane.dll was loaded under Wine and its COM object created; the menu command arrives with the command dispatch."
tools/wine-run.sh --shutdown
