#!/usr/bin/env bash
# Installs everything Fichelia needs to build, run and test, from Debian's packages
# and the npm registry only. Safe to run again: apt-get and npm skip what is there.
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ pkg-config
    # core library, unit tests and benchmarks
    libicu-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
    # the window
    qt6-base-dev qt6-translations-l10n libgl-dev fonts-liberation
    # fuzzing and sanitizer runtimes
    clang libclang-rt-14-dev
    # the published page in a real browser
    chromium
    # screenshots and driving the real window
    xvfb xdotool x11-apps imagemagick xauth
)
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
    "${sudo_cmd[@]}" apt-get update
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -o DPkg::Lock::Timeout=120 "${missing[@]}"
fi

# The browser tests' driver, playwright-core, from the npm registry at the
# version locked in tests/browser/package-lock.json (it downloads no browser:
# the tests use Debian's Chromium). `npm ci` runs again only when the lock file
# changed since the last install.
browser_tests="$(cd "$(dirname "$0")/.." && pwd)/tests/browser"
node_major=$(node -p 'process.versions.node.split(".")[0]' 2>/dev/null || echo 0)
if [ "$node_major" -lt 20 ]; then
    echo "install-deps: Node.js 20 or later is needed by the browser tests (found: $(node --version 2>/dev/null || echo none))" >&2
elif ! cmp -s "$browser_tests/package-lock.json" "$browser_tests/node_modules/.fichelia-installed-lock"; then
    (cd "$browser_tests" && npm ci --no-audit --no-fund)
    cp "$browser_tests/package-lock.json" "$browser_tests/node_modules/.fichelia-installed-lock"
fi
