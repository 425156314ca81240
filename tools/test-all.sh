#!/usr/bin/env bash
# The project's test command: installs what is missing, builds every preset
# (native, win64, win32) and runs every test. Ends with one summary line
# "N passed, N failed" over all test runners.
set -u
cd "$(dirname "$0")/.."
root=$PWD
jobs=${KORVANE_JOBS:-$(nproc)}

if [ "${KORVANE_SKIP_DEPS:-0}" != 1 ]; then
  bash tools/install-deps.sh || echo "[test-all] the dependency script reported a problem; going on"
fi

total_pass=0 total_fail=0 broken=0
note() { printf '\n[test-all] %s\n' "$*"; }

build() {
  local preset=$1
  note "configure and build $preset"
  if ! cmake --preset "$preset" >"build/configure-$preset.log" 2>&1; then
    cat "build/configure-$preset.log"; note "configure of $preset FAILED"; broken=1; return 1
  fi
  if ! cmake --build --preset "$preset" -j "$jobs" 2>&1 | tail -n 40; then :; fi
  if [ "${PIPESTATUS[0]}" != 0 ]; then note "build of $preset FAILED"; broken=1; return 1; fi
  return 0
}

run_ctest() {
  local preset=$1 log
  log=$(mktemp)
  note "tests of $preset"
  ctest --preset "$preset" --output-on-failure --timeout 900 2>&1 | tee "$log"
  local summary p f t
  summary=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$summary" ]; then
    note "ctest of $preset printed no summary: counted as one failure"; total_fail=$((total_fail + 1))
  else
    f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$summary")
    t=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$summary")
    p=$((t - f))
    total_pass=$((total_pass + p)); total_fail=$((total_fail + f))
  fi
  rm -f "$log"
}

# Why the 32-bit Wine tests cannot run here, or nothing when they can.
wine32_missing() {
  if ! bash tools/can-run-i386.sh; then
    echo "this kernel runs no 32-bit program (ia32 emulation is off), so 32-bit Wine cannot work"
  elif ! dpkg-query -W -f='${Status}' wine32 2>/dev/null | grep -q 'install ok installed'; then
    echo "32-bit Wine is not installed here"
  fi
}

mkdir -p build
for preset in native win64 win32; do
  build "$preset" || continue
  why=""
  [ "$preset" = win32 ] && why=$(wine32_missing)
  if [ -n "$why" ]; then
    note "$why: the win32 build is compiled and its binaries checked; its Wine tests are skipped"
    if ctest --preset win32 -R binary_tables --output-on-failure; then total_pass=$((total_pass + 1)); else total_fail=$((total_fail + 1)); fi
    continue
  fi
  run_ctest "$preset"
done

if [ -x tools/fuzz.sh ] && [ "${KORVANE_SKIP_FUZZ:-0}" != 1 ]; then
  note "short fuzz runs"
  if tools/fuzz.sh --short; then total_pass=$((total_pass + 1)); else total_fail=$((total_fail + 1)); fi
fi

[ $broken = 1 ] && total_fail=$((total_fail + 1))
echo
echo "$total_pass passed, $total_fail failed"
[ $total_fail = 0 ] && [ $total_pass -gt 0 ]
