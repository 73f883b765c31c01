#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (static, mingw-w64 with posix threads) from
# Debian's own qt6-base source, at the version of the installed qt6-base-dev,
# whose tools (moc, rcc, uic) the cross build uses. Installs it into
#   ${XDG_CACHE_HOME:-~/.cache}/fichelia/qt6-mingw-VERSION
# which the `windows` preset looks for. Done once: a second run with the same
# version and options does nothing. An interrupted build resumes where it
# stopped. About 880 objects, some 30 minutes on two idle cores.
#
#   scripts/build-qt-windows.sh [-jN]     (default: all cores)
#
# Needs qt6-base-dev, cmake, ninja-build and g++-mingw-w64-x86-64-posix
# (scripts/install-deps.sh --test installs them and then runs this).
set -euo pipefail

fail() {
    echo "build-qt-windows: $*" >&2
    exit 1
}
say() {
    echo "build-qt-windows: $*"
}

jobs=$(nproc)
case "${1:-}" in
    -j*) jobs=${1#-j} ;;
    "") ;;
    *) fail "usage: $0 [-jN]" ;;
esac

repo="$(cd "$(dirname "$0")/.." && pwd)"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/fichelia"
version=$(dpkg-query -W -f='${source:Version}' qt6-base-dev 2>/dev/null) || fail "qt6-base-dev is not installed"
upstream=${version%%+*}
upstream=${upstream%%-*}
dest="$cache/qt6-mingw-$upstream"
work="$cache/qt6-mingw-build"
host_cmake_dir=/usr/lib/x86_64-linux-gnu/cmake

# Only what the window and its tests use: Core, Gui, Widgets and Test, with
# the windows, minimal and offscreen platform plugins and the Windows styles.
# Debian's source has no 3rdparty/wintab (so no tablet events); the windows
# plugin needs direct2d but not direct2d1_1; offscreen needs freetype.
options=(
    -release -static -static-runtime -nomake examples -nomake tests
    -no-opengl -no-dbus -no-icu -no-fontconfig
    -qt-zlib -qt-pcre -qt-libpng -no-libjpeg -no-gif -qt-harfbuzz -qt-freetype
    -no-feature-sql -no-feature-network -no-feature-concurrent -no-feature-xml
    -no-feature-printsupport -no-feature-tabletevent -no-feature-direct2d1_1
    -no-feature-zstd -no-feature-vulkan
)
stamp="qt6-base $version; ${options[*]}"

if [ -f "$dest/.fichelia-stamp" ] && [ "$(cat "$dest/.fichelia-stamp")" = "$stamp" ]; then
    say "Qt $upstream for Windows is already in $dest"
    exit 0
fi
for tool in x86_64-w64-mingw32-g++-posix cmake ninja /usr/lib/qt6/libexec/moc; do
    command -v "$tool" >/dev/null 2>&1 || fail "$tool is missing (scripts/install-deps.sh --test installs it)"
done

# A build left by an earlier run is reused only if it is of the same source
# and options.
if [ ! -f "$work/stamp" ] || [ "$(cat "$work/stamp")" != "$stamp" ]; then
    rm -rf "$work"
fi
mkdir -p "$work"

if [ ! -f "$work/source/configure" ]; then
    # The source package from Debian's mirrors named in apt's own sources,
    # through an apt configuration of its own in the work folder, so that the
    # system's apt settings are left alone.
    say "fetching Debian's qt6-base $version source"
    rm -rf "$work/apt" "$work/source"
    mkdir -p "$work/apt/sources" "$work/apt/lists/partial" "$work/apt/cache" "$work/apt/download"
    apt-get indextargets --format '$(REPO_URI) $(RELEASE) $(COMPONENT)' 'Identifier: Packages' | sort -u |
        while read -r uri release component; do
            printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\nSigned-By: %s\n\n' \
                "$uri" "$release" "$component" /usr/share/keyrings/debian-archive-keyring.gpg
        done >"$work/apt/sources/debian-src.sources"
    [ -s "$work/apt/sources/debian-src.sources" ] || fail "no Debian mirror in apt's sources"
    : >"$work/apt/none.list"
    apt_options=(-o "Dir::Etc::SourceList=$work/apt/none.list" -o "Dir::Etc::SourceParts=$work/apt/sources"
        -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache")
    # As root, apt would hand the download to its own user, who may not enter
    # this folder.
    [ "$(id -u)" -ne 0 ] || apt_options+=(-o APT::Sandbox::User=root)
    apt-get "${apt_options[@]}" -qq update || fail "cannot read the source index of Debian's mirrors"
    (cd "$work/apt/download" && apt-get "${apt_options[@]}" -qq source --download-only "qt6-base=$version") ||
        fail "cannot download Debian's qt6-base $version source"
    say "unpacking it, with Debian's patches"
    dpkg-source -x "$work"/apt/download/qt6-base_*.dsc "$work/source" >"$work/dpkg-source.log" 2>&1 ||
        fail "cannot unpack Debian's qt6-base source: $(tail -5 "$work/dpkg-source.log")"
    rm -rf "$work/apt"
fi
echo "$stamp" >"$work/stamp"

if [ ! -f "$work/build/build.ninja" ]; then
    say "configuring Qt $upstream for x86_64-w64-mingw32 (static)"
    rm -rf "$work/build"
    mkdir -p "$work/build"
    # The project's toolchain file names the compilers; its Wine emulator is
    # not used by Qt's build.
    (cd "$work/build" && "$work/source/configure" -prefix "$dest" "${options[@]}" \
        -qt-host-path /usr -- -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
        -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir") >"$work/configure.log" 2>&1 ||
        fail "configure failed, see $work/configure.log: $(tail -20 "$work/configure.log")"
fi

say "building with $jobs jobs (ninja's [done/total] below)"
start=$(date +%s)
# Every 20th step of ninja's [done/total] is shown; the whole output is in
# build.log.
cmake --build "$work/build" --parallel "$jobs" 2>&1 | tee "$work/build.log" |
    awk '/^\[[0-9]+\/[0-9]+\]/ { if (n++ % 20 == 0) { print; fflush() } next } /error|FAILED/ { print; fflush() }' ||
    fail "the build failed, see $work/build.log"
say "built in $(($(date +%s) - start)) s; installing into $dest"
rm -rf "$dest"
cmake --install "$work/build" >"$work/install.log" 2>&1 || fail "install failed, see $work/install.log"
echo "$stamp" >"$dest/.fichelia-stamp"
rm -rf "$work"
say "Qt $upstream for Windows is in $dest ($(du -sh "$dest" | cut -f1))"
