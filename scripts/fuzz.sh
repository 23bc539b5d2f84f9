#!/bin/sh
# Builds the fuzz targets of tests/fuzz (libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer, in
# build-asan/) and runs each from its seeds in tests/fuzz/corpus/<target>/ for a number of seconds (default 30).
# What a run finds is left as crash-*, leak-*, timeout-* or slow-unit-* in build-asan/fuzz-findings/<target>/, and the
# script fails. New inputs that reach further go to build-asan/fuzz-corpus/<target>/ (the checked-in seeds are never
# changed), so a longer run by hand goes on from where the last one stopped.
# Usage: scripts/fuzz.sh [seconds per target] [target ...]
set -e
zelm_src=$(cd "$(dirname "$0")/.." && pwd)
. "$zelm_src/scripts/deps.sh"
. "$zelm_src/scripts/checked_build.sh"
seconds=${1:-30}
[ $# -gt 0 ] && shift
zelm_ensure_packages
zelm_checked_configure
cmake --build "$zelm_checked" -j2 --target fuzzers

seeds="$zelm_src/tests/fuzz/corpus"
if [ $# -gt 0 ]; then targets="$*"; else targets=$(cd "$seeds" && ls); fi
failed=""
for t in $targets; do
  corpus="$zelm_checked/fuzz-corpus/$t"
  findings="$zelm_checked/fuzz-findings/$t"
  mkdir -p "$corpus" "$findings"
  echo "== $t: $seconds s"
  # An input that takes more than 10 s is a hang; one of more than 2 GB a fault too.
  if ! "$zelm_checked/tests/fuzz/$t" "$corpus" "$seeds/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=4096 -print_final_stats=1 -artifact_prefix="$findings/" >"$findings/log" 2>&1; then
    failed="$failed $t"
    tail -n 60 "$findings/log"
  else
    grep -E "^(stat::number_of_executed_units|stat::peak_rss_mb)|cov:" "$findings/log" | tail -n 3
  fi
done
if [ -n "$failed" ]; then
  echo "Fuzzing found faults in:$failed (inputs in $zelm_checked/fuzz-findings/)"
  exit 1
fi
