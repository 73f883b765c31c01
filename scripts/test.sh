#!/usr/bin/env bash
# Installs what is needed, builds everything and runs the whole test suite:
# once in the normal build, once more with AddressSanitizer and
# UndefinedBehaviorSanitizer, and once in the Windows build (the window, the
# tool, their tests and the installer, cross-built with mingw-w64 and run under
# Wine). Fails on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh --test

jobs=$(nproc)

cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"

# The browser tests drive Chromium, the package check packs and lints the
# programs, and the kill test times a save of 190 MB, not our code's memory:
# the normal run covers them.
cmake --preset asan
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs" -E '^(browser|package|KillDuringSave)'

# Qt for Windows was built into the cache by install-deps.sh (the first time
# only).
cmake --preset windows
cmake --build --preset windows -j "$jobs"
ctest --preset windows -j "$jobs"
