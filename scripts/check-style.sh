#!/usr/bin/env bash
# The tree's format and spelling: every C++ file as the repository's
# .clang-format would write it (a dry run: nothing is changed), and code and
# docs through codespell with .codespellrc. Fails on the first finding.
#   clang-format -i FILE   fixes a file's format.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(find src tests bench fuzz emu -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
clang-format --dry-run --Werror "${sources[@]}"
echo "check-style: ${#sources[@]} C++ files formatted"
codespell
echo "check-style: no misspellings"
