#!/usr/bin/env bash
# Redraws docs/window.png and docs/about.png from the built window, and
# docs/window@2x.png and docs/about@2x.png as a screen scaled by 2 shows them
# (under Xvfb, Debian's xvfb).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build --preset default --target fichelia_screenshots
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" ./build/tests/fichelia_screenshots docs
QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 XDG_RUNTIME_DIR="$runtime" \
    xvfb-run -a -s '-screen 0 1600x1200x24' ./build/tests/fichelia_screenshots docs
