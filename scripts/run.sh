#!/usr/bin/env bash
# Installs what building and running need, builds the window and the tool
# (optimised, without the tests) and starts Fichelia.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh --run

cmake --preset release
cmake --build --preset release -j "$(nproc)"

exec ./build-release/src/fichelia
