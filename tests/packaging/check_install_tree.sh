#!/usr/bin/env bash
# Installs the built tree into a scratch prefix and checks that every file a
# desktop needs is where it looks for it, and that the desktop entry and the
# AppStream metainfo validate.
# Usage: check_install_tree.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix="$scratch/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null

id=net.vokar.isdvokar
expected=(
  bin/isdvokar
  bin/isdvokar-cli
  bin/vokar-emu
  share/applications/$id.desktop
  share/metainfo/$id.metainfo.xml
  share/icons/hicolor/scalable/apps/$id.svg
  share/man/man1/isdvokar.1.gz
  share/man/man1/isdvokar-cli.1.gz
  share/man/man1/vokar-emu.1.gz
)
sizes=(16 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
  expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done

failed=0
for file in "${expected[@]}"; do
  if [ ! -f "$prefix/$file" ]; then
    echo "missing from the install tree: $file"
    failed=1
  fi
done
for program in isdvokar isdvokar-cli vokar-emu; do
  [ -x "$prefix/bin/$program" ] || { echo "not executable: bin/$program"; failed=1; }
done
[ "$failed" -eq 0 ] || exit 1

# Each PNG has the size its folder says (width and height from the IHDR chunk).
for size in "${sizes[@]}"; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
    awk '{ print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }')
  if [ "$width" != "$size" ] || [ "$height" != "$size" ]; then
    echo "icon ${size}x${size} is ${width}x${height}"
    exit 1
  fi
done

# The desktop entry starts the installed program under the icon's name.
desktop="$prefix/share/applications/$id.desktop"
grep -qx 'Exec=isdvokar' "$desktop" || { echo "desktop entry does not run isdvokar"; exit 1; }
grep -qx "Icon=$id" "$desktop" || { echo "desktop entry does not name icon $id"; exit 1; }
grep -qx 'Categories=Development;Electronics;' "$desktop" ||
  { echo "desktop entry categories are not Development;Electronics;"; exit 1; }
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
  "$prefix/share/metainfo/$id.metainfo.xml" ||
  { echo "metainfo does not launch $id.desktop"; exit 1; }

desktop-file-validate "$desktop"
appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/$id.metainfo.xml"

# The man pages format without warnings.
for page in isdvokar isdvokar-cli vokar-emu; do
  out=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  if [ -n "$out" ]; then
    echo "man page $page.1.gz: $out"
    exit 1
  fi
done
# man finds the command-line program's page by name in the installed tree,
# with its exit codes.
MANPATH="$prefix/share/man" LC_ALL=C.UTF-8 MANWIDTH=80 man -P cat isdvokar-cli 2>/dev/null |
  grep -q 'No programmer: the port has no device' ||
  { echo "man isdvokar-cli does not show the page with its exit codes"; exit 1; }
echo "install tree complete: ${#expected[@]} files, desktop entry and metainfo valid"
