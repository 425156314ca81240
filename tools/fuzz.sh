#!/usr/bin/env bash
# Builds the libFuzzer targets under fuzz/ with clang (AddressSanitizer and UBSan)
# into build/fuzz and runs each for a fixed number of runs.
#   fuzz.sh            long runs (FUZZ_RUNS each, default 2,000,000)
#   fuzz.sh --short    a quick pass with a fixed seed, for the test command
# A target is rebuilt when one of its sources is newer than its program.
set -u
cd "$(dirname "$0")/.."
out=build/fuzz
mkdir -p "$out"

if [ "${1:-}" = --short ]; then
  runs=20000 seed=(-seed=1)
else
  runs=${FUZZ_RUNS:-2000000} seed=()
fi

common=(src/match/wildcard.cpp src/common/path_text.cpp src/match/wildcard.h src/common/path_text.h
        src/common/text.h tests/native/wildcard_oracle.h fuzz/fuzz_units.h)
flags=(-std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
       -Wall -Wextra -Werror -Isrc -Itests/native)
failed=0 passed=0

for source in fuzz/*_fuzz.cpp; do
  name=$(basename "$source" .cpp)
  program=$out/$name
  stale=0
  [ -x "$program" ] || stale=1
  for dep in "$source" "${common[@]}"; do
    [ "$dep" -nt "$program" ] && stale=1
  done
  if [ $stale = 1 ]; then
    if ! clang++ "${flags[@]}" "$source" src/match/wildcard.cpp src/common/path_text.cpp -o "$program.new"; then
      echo "[fuzz] $name: build FAILED"; failed=$((failed + 1)); continue
    fi
    mv "$program.new" "$program"
  fi
  corpus=$out/corpus-$name
  mkdir -p "$corpus"
  started=$(date +%s)
  if "$program" "${seed[@]}" -runs="$runs" -max_len=64 -timeout=10 -rss_limit_mb=1024 \
       -artifact_prefix="$out/$name-" "$corpus" >"$out/$name.log" 2>&1; then
    echo "[fuzz] $name: $runs runs passed in $(( $(date +%s) - started )) s"; passed=$((passed + 1))
  else
    echo "[fuzz] $name: FAILED (log: $out/$name.log)"; tail -n 30 "$out/$name.log"; failed=$((failed + 1))
  fi
done

echo "fuzz: $passed passed, $failed failed"
[ $failed = 0 ]
