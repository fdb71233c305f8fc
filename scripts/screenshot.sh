#!/usr/bin/env bash
# Starts the program on a virtual display and saves a screenshot of it.
# Usage: scripts/screenshot.sh [output.png]   (default docs/main-window.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/main-window.png}")
BUILD_DIR=${BUILD_DIR:-build}
program=$(realpath "$BUILD_DIR/src/app/isdvokar")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# A first start: no size or place remembered from the user's own runs.
export XDG_CONFIG_HOME="$work/config"
xvfb-run -a -s '-screen 0 800x600x24' bash -c '
  "$0" & pid=$!
  for _ in $(seq 1 100); do
    if xwininfo -root -tree 2>/dev/null | grep -q "VOKAR ISD Programmer"; then break; fi
    sleep 0.1
  done
  sleep 1
  import -window root "$1"
  kill -TERM $pid; wait $pid' "$program" "$out"
echo "saved $out"
