#!/usr/bin/env bash
# Installs what Fichelia needs, from Debian's packages and the npm registry only.
#
#   scripts/install-deps.sh --run       build and run the window and the tool (run.sh)
#   scripts/install-deps.sh --package   the above, plus what builds and checks the Debian package
#   scripts/install-deps.sh --test      all the above, plus tests, sanitizers, fuzzing, benchmarks,
#                                       screenshots, the browser tests and the Windows build
#                                       under Wine with its installer (all run by test.sh), including
#                                       Qt for Windows, built once (scripts/build-qt-windows.sh)
#
# Safe to run again: only missing packages are installed, libcsv's source for
# the Windows build is fetched once, Qt for Windows is built once (about 30
# minutes on two cores), and `npm ci` runs only when the browser
# tests' lock file changed. Works as root or through sudo. Any
# dependency it cannot install stops it with an error: nothing is skipped.
set -euo pipefail

usage() {
    echo "usage:" >&2
    sed -n '4,9s/^# \{0,1\}//p' "$0" >&2
    exit 2
}

run_packages=(
    # build
    cmake ninja-build g++ pkg-config
    # the core library
    libicu-dev libcsv-dev
    # the window, its French dialogs and the font it is drawn with
    qt6-base-dev qt6-translations-l10n libgl-dev fonts-liberation
)
package_packages=(
    # CPack's DEB generator computes the dependencies with dpkg-shlibdeps
    dpkg-dev
    # checks of the package and of its desktop entry and metainfo
    lintian desktop-file-utils appstream
)
test_packages=(
    # unit tests and benchmarks
    googletest libgtest-dev libgmock-dev libbenchmark-dev abook hyperfine time
    # fuzzing and sanitizer runtimes
    clang libclang-rt-14-dev
    # the Windows build, tested under Wine (wine64 alone has no wine command),
    # and its installer
    wine wine64 g++-mingw-w64-x86-64-posix nsis
    # the published page in a real browser (Node.js and npm are added below)
    chromium
    # screenshots and driving the real window
    xvfb xdotool x11-apps imagemagick xauth
    # what screen readers see of the window: the AT-SPI bus, and gdbus and
    # Python to read it
    at-spi2-core dbus-daemon libglib2.0-bin python3
    # the importers compared with other readers on real address books
    python3-vobject python3-ldap
)

[ $# -eq 1 ] || usage
case "$1" in
    --run) packages=("${run_packages[@]}") ;;
    --package) packages=("${run_packages[@]}" "${package_packages[@]}") ;;
    --test) packages=("${run_packages[@]}" "${package_packages[@]}" "${test_packages[@]}") ;;
    *) usage ;;
esac
if [ "$1" = --test ]; then
    # Debian 12's own Node.js (18) will do; a newer one already here is kept.
    command -v node >/dev/null 2>&1 || packages+=(nodejs)
    command -v npm >/dev/null 2>&1 || packages+=(npm)
fi

fail() {
    echo "install-deps: $*" >&2
    exit 1
}

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'
}

missing=()
for p in "${packages[@]}"; do
    installed "$p" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null 2>&1 || fail "${missing[*]} missing, and sudo is not installed: run this as root"
        sudo_cmd=(sudo)
    fi
    echo "install-deps: installing ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -o DPkg::Lock::Timeout=120 "${missing[@]}"
    for p in "${missing[@]}"; do
        installed "$p" || fail "package $p is still not installed"
    done
fi

if [ "$1" != --test ]; then
    exit 0
fi

# The Windows build compiles libcsv for its target, since Debian has no libcsv
# for mingw-w64. Its source comes from Debian's source package of the very
# version of libcsv-dev installed, fetched with apt into the cache folder that
# cmake/Libcsv.cmake reads. The system's apt settings are left alone: the
# source index goes to that folder too. Done once.
fetch_libcsv_source() {
    local cache="${XDG_CACHE_HOME:-$HOME/.cache}/fichelia"
    local dest="$cache/libcsv"
    if [ -f "$dest/libcsv.c" ] && [ -f "$dest/csv.h" ]; then
        return 0
    fi
    local codename mirror version
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mirror=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 'Identifier: Packages' |
        awk -v release="$codename" '$2 == release { print $1; exit }')
    version=$(dpkg-query -W -f='${source:Version}' libcsv-dev)
    [ -n "$mirror" ] || fail "no Debian mirror for $codename in apt's sources"
    local work="$cache/libcsv-source"
    rm -rf "$work" "$dest"
    mkdir -p "$work/sources" "$work/lists/partial" "$work/cache"
    printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: %s\n' \
        "$mirror" "$codename" /usr/share/keyrings/debian-archive-keyring.gpg >"$work/sources/debian-src.sources"
    : >"$work/none.list"
    local apt_options=(-o "Dir::Etc::SourceList=$work/none.list" -o "Dir::Etc::SourceParts=$work/sources"
        -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache")
    # As root, apt would hand the download to its own user, who may not enter
    # this folder.
    [ "$(id -u)" -ne 0 ] || apt_options+=(-o APT::Sandbox::User=root)
    echo "install-deps: fetching Debian's libcsv $version source into $dest"
    apt-get "${apt_options[@]}" -qq update || fail "cannot read the source index of $mirror"
    (cd "$work" && apt-get "${apt_options[@]}" -qq source --download-only "libcsv=$version") ||
        fail "cannot download Debian's libcsv $version source"
    # apt checked the files against Debian's signed index; dpkg-source applies
    # Debian's patches (it cannot check the uploader's signature without
    # debian-keyring, and says so in its log).
    dpkg-source -x "$work"/libcsv_*.dsc "$work/libcsv" >"$work/dpkg-source.log" 2>&1 ||
        fail "cannot unpack Debian's libcsv source: $(cat "$work/dpkg-source.log")"
    mkdir -p "$dest"
    cp "$work/libcsv/csv.h" "$work/libcsv/libcsv.c" "$work/libcsv/COPYING.LESSER" "$dest/"
    rm -rf "$work"
}
fetch_libcsv_source

# Nor has Debian a Qt for mingw-w64: the window's Windows build uses one built
# from Debian's qt6-base source, once, into the same cache.
"$(dirname "$0")/build-qt-windows.sh"

# The browser tests' driver, playwright-core, from the npm registry at the
# version locked in tests/browser/package-lock.json (it downloads no browser:
# the tests use Debian's Chromium). `npm ci` runs again only when the lock file
# changed since the last install.
node_major=$(node -p 'process.versions.node.split(".")[0]' 2>/dev/null || echo 0)
if [ "$node_major" -lt 18 ]; then
    fail "the browser tests need Node.js 18 or later, found $(node --version 2>/dev/null || echo none)"
fi
browser_tests="$(cd "$(dirname "$0")/.." && pwd)/tests/browser"
if ! cmp -s "$browser_tests/package-lock.json" "$browser_tests/node_modules/.fichelia-installed-lock"; then
    (cd "$browser_tests" && npm ci --no-audit --no-fund)
    cp "$browser_tests/package-lock.json" "$browser_tests/node_modules/.fichelia-installed-lock"
fi
