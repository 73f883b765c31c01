#!/usr/bin/env bash
# Installs what is needed, builds Fichelia and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

cmake --preset default
cmake --build --preset default -j "$(nproc)"

# Until the window lands: the companion tool writes a sample page.
./build/tools/fichelia-page/fichelia-page write < tests/data/contacts_three.tsv > build/exemple.html
echo "Page written: build/exemple.html"
