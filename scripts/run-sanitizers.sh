#!/usr/bin/env bash
# Builds the whole tree and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ (or $SANITIZE_BUILD_DIR) and runs
# every test there. Any report fails the run: undefined behaviour aborts
# (-fno-sanitize-recover), and so does ASan at its first error.
#   scripts/run-sanitizers.sh [ctest arguments, e.g. -R tst_chipops]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${SANITIZE_BUILD_DIR:-build-asan}
JOBS=${JOBS:-$(nproc)}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVOKAR_SANITIZE=ON >/dev/null
cmake --build "$BUILD_DIR" -j "$JOBS"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
cd "$BUILD_DIR"
# tst_player measures real-time sound against 20 ms bounds, which the
# sanitizers' slowdown breaks; the player's code runs under the sanitizers all
# the same in tst_sounddecoding, tst_playbackwindow and tst_record_sound.
ctest --output-on-failure --timeout 600 -E '^tst_player$' "$@"
