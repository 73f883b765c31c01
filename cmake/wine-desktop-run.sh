#!/bin/sh
# Runs a Windows program under Wine on a virtual X display of its own (Xvfb),
# for the tests that need Windows' own desktop rather than Qt's offscreen
# platform:
#   wine-desktop-run.sh PREFIX PROGRAM.exe [ARGUMENT...]
# PREFIX is a Wine prefix used only through this script. Wine's programs left
# from an earlier run of it (cmake/wine-run.sh keeps them 15 s) belong to a
# display that is gone: they are ended first, so that Wine's desktop starts
# again on this one.
set -eu
prefix="$1"
shift
command -v xvfb-run >/dev/null 2>&1 || {
    echo "wine-desktop-run.sh: xvfb-run is missing (scripts/install-deps.sh --test installs it)" >&2
    exit 127
}
WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1 || true
WINEPREFIX="$prefix" wineserver -w >/dev/null 2>&1 || true
exec xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' "$(dirname "$0")/wine-run.sh" "$prefix" "$@"
