#!/usr/bin/env bash
# Installs what is needed, builds everything and runs the whole test suite.
# Fails on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

jobs=$(nproc)
cmake --preset default
cmake --build --preset default -j "$jobs"
ctest --preset default -j "$jobs"
