#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time, starting
# from its seed corpus. Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] (default 60).
# New inputs found go to build/fuzz/corpus/NAME, crashes to build/fuzz/crashes/NAME;
# the checked-in seeds are only read.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

scripts/install-deps.sh clang libclang-rt-14-dev

cmake --preset fuzz
cmake --build --preset fuzz

status=0
for source in fuzz/*_fuzz.cpp; do
  name="$(basename "$source" _fuzz.cpp)"
  corpus="build/fuzz/corpus/$name"
  crashes="build/fuzz/crashes/$name"
  mkdir -p "$corpus" "$crashes"
  echo "== $name: ${seconds}s"
  # The first folder receives new inputs; the seeds are read from the second.
  build/fuzz/bin/bellwright_fuzz_"$name" "$corpus" "fuzz/corpus/$name" \
    -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$crashes/" || status=1
done
exit "$status"
