#!/usr/bin/env bash
# Redraws docs/window.png and docs/about.png from the built window.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset default --target fichelia_screenshots
runtime=$(mktemp -d)
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" ./build/tests/fichelia_screenshots docs
rm -rf "$runtime"
