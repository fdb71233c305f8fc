#!/usr/bin/env bash
# Builds the .deb from the built tree, checks its dependencies and contents,
# unpacks it into a scratch root with dpkg -x, lets the packaged isdvokar-cli
# scan the packaged vokar-emu's chip, and starts the packaged isdvokar
# offscreen against it: the program opens the port at start and sets the
# chip, and ends cleanly on SIGTERM.
# Usage: check_deb.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
scratch=$(mktemp -d)
emu_pid=""
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "$emu_pid" ] && kill "$emu_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; exit 1; }
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "cpack made no single .deb"; exit 1; }
deb=${debs[0]}

# Dependencies: the libraries from shlibdeps, the SoundFont by hand.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libc6 libqt6core6 libqt6widgets6 libqt6serialport6 libqt6multimedia6 \
  libsndfile1 timgm6mb-soundfont; do
  if ! grep -q "\b$needed\b" <<<"$depends"; then
    echo "Depends lacks $needed: $depends"
    exit 1
  fi
done
[ "$(dpkg-deb -f "$deb" Package)" = isdvokar ] || { echo "package is not named isdvokar"; exit 1; }

id=net.vokar.isdvokar
contents=$(dpkg-deb -c "$deb" | awk '{ print $NF }')
for file in ./usr/bin/isdvokar ./usr/bin/isdvokar-cli ./usr/bin/vokar-emu \
  ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/$id.svg ./usr/share/icons/hicolor/48x48/apps/$id.png \
  ./usr/share/man/man1/isdvokar.1.gz ./usr/share/man/man1/isdvokar-cli.1.gz \
  ./usr/share/man/man1/vokar-emu.1.gz; do
  grep -qxF "$file" <<<"$contents" || { echo "the .deb lacks $file"; exit 1; }
done
# Nothing from the build or the tests slips in.
if grep -E 'tst_|bench_|\.a$|/include/' <<<"$contents"; then
  echo "the .deb holds files that are not the product's"
  exit 1
fi

root="$scratch/root"
dpkg -x "$deb" "$root"
MANPATH="$root/usr/share/man" LC_ALL=C.UTF-8 MANWIDTH=80 man -P cat isdvokar-cli 2>/dev/null |
  grep -q 'EXIT STATUS' || { echo "man isdvokar-cli finds no page in the .deb"; exit 1; }

work="$scratch/work"
mkdir -p "$work"
cd "$work"
"$root/usr/bin/vokar-emu" --com 1 --ports-file isdvokar.ports --time-scale 0.01 \
  </dev/null >emu.log 2>&1 &
emu_pid=$!
for _ in $(seq 200); do
  grep -q 'written to isdvokar.ports' emu.log && break
  kill -0 "$emu_pid" 2>/dev/null || { cat emu.log; exit 1; }
  sleep 0.05
done
grep -q 'written to isdvokar.ports' emu.log || { echo "vokar-emu did not start"; cat emu.log; exit 1; }

# The packaged command-line program scans the packaged stand-in's chip.
"$root/usr/bin/isdvokar-cli" scan --port COM1 --chip 1 --json >cli.json 2>cli.log ||
  { echo "the packaged isdvokar-cli failed"; cat cli.json cli.log emu.log; exit 1; }
grep -q '"result": "scanned"' cli.json || { echo "isdvokar-cli did not scan"; cat cli.json; exit 1; }

# Port 1, opened at start.
printf 'VOKAR-1 Configuration File\r\n1\r\n1\r\n\r\n\r\n\r\n1\r\n' >isdvokar.fig
QT_QPA_PLATFORM=offscreen "$root/usr/bin/isdvokar" >program.log 2>&1 &
program_pid=$!
for _ in $(seq 300); do
  [ "$(grep -c ' in .*SetChip' emu.log)" -ge 2 ] && break
  kill -0 "$program_pid" 2>/dev/null || { echo "isdvokar ended early"; cat program.log; exit 1; }
  sleep 0.05
done
[ "$(grep -c ' in .*SetChip' emu.log)" -ge 2 ] ||
  { echo "the packaged isdvokar never set the chip"; cat emu.log program.log; exit 1; }

kill -TERM "$program_pid"
status=0
wait "$program_pid" || status=$?
program_pid=""
[ "$status" -eq 0 ] || { echo "isdvokar ended with $status on SIGTERM"; cat program.log; exit 1; }
head -n 1 isdvokar.fig | grep -q 'VOKAR-1 Configuration File' ||
  { echo "isdvokar did not save its settings"; exit 1; }
echo "$(basename "$deb"): installs into a scratch root and starts; Depends: $depends"
