#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display: this machine has no graphical session (DISPLAY and WAYLAND_DISPLAY are unset)."
  echo "Run the program on a virtual display instead:"
  echo "    xvfb-run -a -s '-screen 0 1024x768x24' scripts/run-program.sh"
  exit 1
fi
exec "$BUILD_DIR/src/app/isdvokar" "$@"
