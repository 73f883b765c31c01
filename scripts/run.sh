#!/usr/bin/env bash
# Installs what is needed, builds Fichelia and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

cmake --preset default
cmake --build --preset default -j "$(nproc)"

exec ./build/src/fichelia
