#!/usr/bin/env bash
# Builds the benchmarks under bench/ (Release, into build-perf/ or
# $PERF_BUILD_DIR), runs every one of them, keeps their output in
# $PERF_BUILD_DIR/bench-results/, and writes the summary table of
# docs/PERFORMANCE.md (between its "summary" markers; the prose stays).
# Benchmarks print figures and never fail on a time; a benchmark that cannot
# run (no sound server, say) leaves its rows saying so.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${PERF_BUILD_DIR:-build-perf}
JOBS=${JOBS:-$(nproc)}
DOC=docs/PERFORMANCE.md

# Every executable bench/CMakeLists.txt defines.
mapfile -t targets < <(sed -n 's/^ *add_executable(\([A-Za-z0-9_]*\).*/\1/p' bench/CMakeLists.txt)
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS" --target "${targets[@]}"

results="$BUILD_DIR/bench-results"
mkdir -p "$results"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}; fi
for target in "${targets[@]}"; do
  echo "performance: running $target"
  if ! timeout 600 "$BUILD_DIR/bench/$target" >"$results/$target.txt" 2>&1; then
    echo "($target did not finish)" >>"$results/$target.txt"
  fi
  cat "$results/$target.txt"
done

# The figure in a benchmark's output, or "not measured".
pick() { # file sed-expression
  local value
  value=$(sed -n "$2" "$results/$1.txt" 2>/dev/null | head -n 1)
  echo "${value:-not measured}"
}
playback() { # heading-pattern measure-pattern -> "median X ms (max Y)"
  awk -v head="$1" -v what="$2" '
    /^[^ ]/ { inside = index($0, head) > 0 }
    inside && index($0, what) > 0 {
      for (i = 1; i <= NF; ++i) {
        if ($i == "median") m = $(i + 1)
        if ($i == "max") x = $(i + 1)
      }
      printf "median %s ms (max %s)", m, x; exit
    }' "$results/player_bench.txt" 2>/dev/null
}
or_none() { local v; v=$(cat); echo "${v:-not measured}"; }

table=$(mktemp)
{
  echo "Measured $(date -u +%Y-%m-%d) by \`scripts/performance.sh\`: Release build, $(nproc) cores"
  echo "($(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)), other work on the"
  echo "machine at the same time: $(cut -d' ' -f1-3 /proc/loadavg) load. Full output in"
  echo "\`$results/\`."
  echo
  echo "| Measure | Figure | Goal | Limit it is measured against |"
  echo "|---|---|---|---|"
  echo "| Link turnaround, reply's last byte in to answer's first byte out | $(pick link_bench 's/.*: \(median [0-9.]* ms, p99 [0-9.]* ms\).*/\1/p') | p99 < 0.5 ms | one 20-byte frame lasts 3.47 ms at 57600 baud |"
  echo "| Memory scan, steps a second | $(pick link_bench 's/^memory scan.*: \([0-9]* steps\/s, [0-9.]* ms a step\).*/\1/p') | ≥ 144 steps/s | the line allows 144 steps/s: a command and a reply, 6.9 ms |"
  echo "| Audio start, \`Play()\` to first sample at the sink, WAV 8 kHz | $(playback '8 kHz' 'first sample arriving' | or_none) | ≤ 30 ms | the sink's 10 ms latency |"
  echo "| Audio start, WAV 44.1 kHz stereo | $(playback '44.1 kHz' 'first sample arriving' | or_none) | ≤ 30 ms | the sink's 10 ms latency |"
  echo "| Audio start, MIDI | $(playback 'MIDI, one' 'first sample arriving' | or_none) | ≤ 30 ms | the sink's 10 ms latency |"
  echo "| End of playback, last sample to notification, WAV 8 kHz | $(playback '8 kHz' 'last sample at the monitor' | or_none) | ≤ 20 ms | the sink's 10 ms latency |"
  echo "| End of playback, WAV 44.1 kHz stereo | $(playback '44.1 kHz' 'last sample at the monitor' | or_none) | ≤ 20 ms | the sink's 10 ms latency |"
  echo "| End of playback, MIDI | $(playback 'MIDI, one' 'last sample at the monitor' | or_none) | ≤ 20 ms | the sink's 10 ms latency |"
  echo "| Start-up to the main window shown | $(pick program_bench 's/^start-up.*: \(median [0-9.]* ms, max [0-9.]* ms\).*/\1/p') | < 1 s | a user's patience: a window within a second |"
  echo "| Memory with the window shown | $(pick program_bench 's/^start-up.*memory then: \(.*\)$/\1/p') | < 100 MiB | a small tool beside others |"
  echo "| File list of 100,000 entries, save | $(pick program_bench 's/^file list.*: save median \([0-9]* ms\).*/\1/p') | < 2 s | the disk: a few MiB |"
  echo "| File list of 100,000 entries, load | $(pick program_bench 's/^file list.*load median \([0-9]* ms\).*/\1/p') | < 2 s | the disk: a few MiB |"
  echo "| Four programmers at once, chips an hour against one | $(pick gang_bench 's/^gang of 4: [0-9]* chips an hour (\([0-9.]* times one\)).*/\1/p') | ≥ 3.6 times | four programmers, each its own sound output |"
  echo "| CPU a programmer, four at once | $(pick gang_bench 's/^gang of 4: .* CPU \([0-9.]*% of one core\) a programmer.*/\1/p') | < 5% of one core | one core |"
  echo "| Sound's end to the programmer done, every file of four programmers | $(pick gang_bench 's/^gang of 4: .*sound end to finished: \(.*\)$/\1/p') | within one progress report | the programmer's report a second |"
  for extra in "${targets[@]}"; do
    case "$extra" in link_bench | player_bench | program_bench | gang_bench) continue ;; esac
    # A benchmark without a row of its own: its first lines of figures.
    echo "| \`$extra\` | $(grep -v -e '^QStandardPaths' "$results/$extra.txt" | grep -m 3 -E '[0-9]' | tr -s ' ' | tr '\n' ';' | sed 's/|/\//g; s/;$//; s/;/; /g') | | |"
  done
} >"$table"

if ! grep -q '<!-- summary:begin -->' "$DOC"; then
  echo "performance: $DOC has no summary markers" >&2
  exit 1
fi
{
  sed -n '1,/<!-- summary:begin -->/p' "$DOC"
  cat "$table"
  sed -n '/<!-- summary:end -->/,$p' "$DOC"
} >"$DOC.new"
mv "$DOC.new" "$DOC"
rm -f "$table"
echo "performance: summary written to $DOC"
