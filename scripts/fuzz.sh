#!/bin/sh
# Builds the fuzz targets of tests/fuzz (libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer, in
# build-asan/) and runs each from its seeds in tests/fuzz/corpus/<target>/ for a number of seconds (default 30), two
# at a time. What a run finds is left as crash-*, leak-*, timeout-* or oom-* in build-asan/fuzz-findings/<target>/
# beside the run's log, and the script fails. New inputs that reach further go to build-asan/fuzz-corpus/<target>/
# (the checked-in seeds are never changed), so a longer run by hand goes on from where the last one stopped.
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

# One target's run; its exit status is left in the findings folder.
fuzz_one() {
  corpus="$zelm_checked/fuzz-corpus/$1"
  findings="$zelm_checked/fuzz-findings/$1"
  mkdir -p "$corpus" "$findings"
  rm -f "$findings/failed"
  # An input that takes more than 10 s is a hang, one that needs more than 2 GB a fault too.
  "$zelm_checked/tests/fuzz/$1" "$corpus" "$seeds/$1" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix="$findings/" >"$findings/log" 2>&1 || touch "$findings/failed"
}

running=0
for t in $targets; do
  [ -x "$zelm_checked/tests/fuzz/$t" ] || { echo "No fuzz target $t"; exit 1; }
  fuzz_one "$t" &
  running=$((running + 1))
  if [ "$running" -eq 2 ]; then
    wait
    running=0
  fi
done
wait

failed=""
for t in $targets; do
  findings="$zelm_checked/fuzz-findings/$t"
  if [ -e "$findings/failed" ]; then
    failed="$failed $t"
    echo "== $t: FAULT"
    tail -n 60 "$findings/log"
  else
    echo "== $t: $(grep -E '^stat::number_of_executed_units' "$findings/log" | sed 's/.*: *//') inputs in $seconds s," \
      "$(grep -E 'DONE' "$findings/log" | sed -n 's/.* cov: \([0-9]*\).*/\1/p' | tail -n 1) edges covered"
  fi
done
if [ -n "$failed" ]; then
  echo "Fuzzing found faults in:$failed (inputs in $zelm_checked/fuzz-findings/)"
  exit 1
fi
