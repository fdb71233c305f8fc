#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program. When no programmer
# is attached (no USB or ACM serial adapter), vokar-emu stands in for it on a
# pseudo-terminal as COM1: isdvokar.ports maps COM1 to it and isdvokar.fig is
# set to port 1 with "Auto open". VOKAR_EMU=1 forces the stand-in, VOKAR_EMU=0
# never starts it; extra options for it go in VOKAR_EMU_OPTIONS (e.g. --greet,
# --noise 0.2). The stand-in runs strict: its log names every frame the
# program should not have sent. Like a programmer switched on before the
# program starts, it does not greet (docs/EMULATOR.md, "The greeting").
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

use_emu=${VOKAR_EMU:-auto}
if [ "$use_emu" = auto ]; then
  use_emu=1
  for dev in /dev/ttyUSB* /dev/ttyACM*; do
    [ -e "$dev" ] && use_emu=0 && break
  done
fi
if [ "$use_emu" != 1 ]; then
  exec "$BUILD_DIR/src/app/isdvokar" "$@"
fi

emu_log="$BUILD_DIR/vokar-emu.log"
# shellcheck disable=SC2086 # the options are words on purpose
"$BUILD_DIR/emu/vokar-emu" --com 1 --ports-file isdvokar.ports --strict ${VOKAR_EMU_OPTIONS:-} \
  </dev/null >"$emu_log" 2>&1 &
emu_pid=$!
trap 'kill "$emu_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  grep -q 'written to isdvokar.ports' "$emu_log" 2>/dev/null && break
  sleep 0.05
done
echo "No programmer attached: vokar-emu stands in on $(head -n 1 "$emu_log") as COM1 (log: $emu_log)."

# Port 1 and "Auto open" in the settings file; the other lines as they were.
awk 'BEGIN { RS = "\r?\n"; ORS = "\r\n" }
     { line[NR] = $0 } END {
       line[1] = "VOKAR-1 Configuration File"; line[2] = "1"
       if (line[3] == "") line[3] = "1"
       line[7] = "1"
       for (i = 1; i <= 7; i++) print line[i] }' \
  "$( [ -f isdvokar.fig ] && echo isdvokar.fig || echo /dev/null )" >isdvokar.fig.new
mv isdvokar.fig.new isdvokar.fig

"$BUILD_DIR/src/app/isdvokar" "$@"
