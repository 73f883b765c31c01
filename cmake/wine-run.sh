#!/bin/sh
# Runs a Windows program under Wine, for CTest in the Windows cross build:
#   wine-run.sh PREFIX PROGRAM.exe [ARGUMENT...]
# PREFIX is the build's own Wine prefix, made on first use.
#
# Wine's server and its background programs start with the first program
# that needs them and keep that program's standard output and error open
# until the server ends. Under CTest, which reads those through pipes, every
# test would then wait seconds for them. So they are started here, once,
# with their output elsewhere, and kept for 15 s after the last program.
set -eu
export WINEPREFIX="$1" WINEDEBUG=-all
# Wine names files on the Linux side in the locale's charset: in a UTF-8 one,
# the Windows programs' file names may hold any letter, as on Windows.
export LC_ALL=C.UTF-8
shift
command -v wine >/dev/null 2>&1 || {
    echo "wine-run.sh: wine is missing (scripts/install-deps.sh --test installs it)" >&2
    exit 127
}
exec 9>"$WINEPREFIX.lock"
flock 9
if wineserver -p15 </dev/null >/dev/null 2>&1 9>&-; then
    # A new server: start its background programs (and make the prefix the
    # first time) away from our output.
    wine wineboot </dev/null >/dev/null 2>&1 9>&-
    # A new prefix has no fonts in C:\windows\Fonts: the window asks for
    # Debian's Liberation fonts (metric-compatible with Arial and Times New
    # Roman), put there as Windows has its fonts.
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    if [ ! -f "$fonts/LiberationSans-Regular.ttf" ] && [ -d /usr/share/fonts/truetype/liberation ]; then
        mkdir -p "$fonts"
        cp /usr/share/fonts/truetype/liberation/*.ttf "$fonts/"
    fi
fi
exec 9>&-
exec wine "$@"
