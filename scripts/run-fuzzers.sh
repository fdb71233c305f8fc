#!/usr/bin/env bash
# Builds the fuzz targets under fuzz/ with clang into build-fuzz/ (or
# $FUZZ_BUILD_DIR) and runs each one for SECONDS (default 30).
#   scripts/run-fuzzers.sh [SECONDS] [TARGET...]
# TARGET is receive, listfile, mapfile, settings, emu_intake or portsfile; all by
# default.
# The seeds in fuzz/corpus/<target>/ are read, never written: what a run finds
# goes to $FUZZ_BUILD_DIR/fuzz/found-<target>/, so a longer run goes on from
# where the previous one stopped. A crash is written to
# $FUZZ_BUILD_DIR/fuzz/crash-<target>-* and fails the script; the line
# "fuzz: <target> runs ..." sums up each run. With FUZZ_RECORD=1 the summary
# also goes into docs/RELIABILITY.md (between its "fuzz" markers).
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-30}
shift || true
TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
  TARGETS=(receive listfile mapfile settings emu_intake portsfile)
fi
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
CXX_FUZZ=${CXX_FUZZ:-clang++-14}
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER="$CXX_FUZZ" -DVOKAR_FUZZ=ON -DVOKAR_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" --target fuzzers

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
out="$BUILD_DIR/fuzz"
summary="$out/summary.txt"
: >"$summary"
status=0
for target in "${TARGETS[@]}"; do
  found="$out/found-$target"
  mkdir -p "$found"
  log="$out/$target.log"
  if ! "$out/fuzz_$target" -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=4096 \
      -print_final_stats=1 -artifact_prefix="$out/crash-$target-" \
      "$found" "fuzz/corpus/$target" >"$log" 2>&1; then
    echo "fuzz: $target FAILED, see $log" | tee -a "$summary"
    tail -n 60 "$log"
    status=1
    continue
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  corpus=$(find "$found" -type f | wc -l)
  echo "fuzz: $target runs $runs in ${SECONDS_EACH}s ($rate/s), corpus $corpus, no crash" |
    tee -a "$summary"
done
if [ "${FUZZ_RECORD:-0}" = 1 ] && [ $status -eq 0 ]; then
  doc=docs/RELIABILITY.md
  {
    sed -n '1,/<!-- fuzz:begin -->/p' "$doc"
    echo '```'
    echo "$(date -u +%Y-%m-%d), $(nproc) cores, seeds from fuzz/corpus plus what earlier runs found:"
    sed 's/^fuzz: //' "$summary"
    echo '```'
    sed -n '/<!-- fuzz:end -->/,$p' "$doc"
  } >"$doc.new"
  mv "$doc.new" "$doc"
fi
exit $status
