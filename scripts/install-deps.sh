#!/usr/bin/env bash
# Installs every Debian package the build, the program and the tests need.
# Non-interactive and idempotent: when everything is there it only checks.
set -euo pipefail

PACKAGES=(
  # build, and the format and spelling checks
  cmake ninja-build g++ clang-format codespell pkg-config
  # Qt 6: widgets, serial port, multimedia, test
  qt6-base-dev qt6-serialport-dev qt6-multimedia-dev libgl-dev
  # sound decoding: WAV through libsndfile, MIDI through FluidSynth + a GM SoundFont
  libsndfile1-dev libfluidsynth-dev timgm6mb-soundfont
  # desktop checks and tests: a virtual display, a sound server, screenshots
  xvfb xauth x11-utils pulseaudio pulseaudio-utils imagemagick
  # the stand-in hears its audio input from a PulseAudio source (vokar-emu --listen)
  libpulse-dev
  # install and package: icon sizes from the SVG, the .deb and its checks
  librsvg2-bin dpkg-dev file man-db desktop-file-utils appstream
  # fuzzing (libFuzzer comes with clang's runtime)
  clang-14 libclang-rt-14-dev
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#PACKAGES[@]} packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
