#!/usr/bin/env bash
# Installs what building the package needs, builds the Debian package
# build-release/fichelia_VERSION_amd64.deb (CMake's workflow preset "deb":
# an optimised build without tests, packed by CPack) and checks it.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh --package

cmake --workflow --preset deb

version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build-release/CPackConfig.cmake)
./scripts/check-package.sh "build-release/fichelia_${version}_amd64.deb"
echo "Install it with: sudo apt-get install ./build-release/fichelia_${version}_amd64.deb"
