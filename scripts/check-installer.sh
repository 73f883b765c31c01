#!/usr/bin/env bash
# Checks the Windows installer of Fichelia under Wine:
#   scripts/check-installer.sh FILE.exe [--screenshot PNG]
#   scripts/check-installer.sh --build DIR [--screenshot PNG]   made by CPack from the Windows build in DIR
# The installer, run with /S in a new Wine prefix, must install both programs
# and the licence under Program Files\Fichelia, a Start menu entry and an
# uninstaller registered with Windows; the installed fichelia.exe must then
# start and show its window (on a virtual X display, Xvfb). --screenshot
# saves a picture of that window. The uninstaller must remove it all.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"

usage() {
    echo "usage: $0 FILE.exe | --build DIR  [--screenshot PNG]" >&2
    exit 2
}
work=$(mktemp -d "${TMPDIR:-/tmp}/fichelia-installer-check.XXXXXX")
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

installer="" screenshot=""
while [ $# -gt 0 ]; do
    case "$1" in
        --build)
            [ $# -ge 2 ] || usage
            cpack --config "$2/CPackConfig.cmake" -G NSIS -B "$work/out" >"$work/cpack.log" 2>&1 ||
                { cat "$work/cpack.log" >&2; exit 1; }
            installer=$(echo "$work"/out/Fichelia-*-win64.exe)
            shift 2
            ;;
        --screenshot)
            [ $# -ge 2 ] || usage
            screenshot=$(realpath -m "$2")
            shift 2
            ;;
        *.exe) installer=$(realpath "$1"); shift ;;
        *) usage ;;
    esac
done
[ -n "$installer" ] && [ -f "$installer" ] || usage
for tool in wine xvfb-run xdotool import; do
    command -v "$tool" >/dev/null || { echo "check-installer: $tool missing (scripts/install-deps.sh --test)" >&2; exit 1; }
done

failures=0
fail() {
    echo "check-installer: $*" >&2
    failures=$((failures + 1))
}
wine_run() { "$here/cmake/wine-run.sh" "$WINEPREFIX" "$@"; }

echo "check-installer: $(basename "$installer"), $(du -k "$installer" | cut -f1) kB"
[[ $(basename "$installer") =~ ^Fichelia-[0-9]+\.[0-9]+\.[0-9]+-win64\.exe$ ]] || fail "unexpected name $(basename "$installer")"

wine_run "$installer" /S || fail "the silent install failed"
folder="$WINEPREFIX/drive_c/Program Files/Fichelia"
for file in bin/fichelia.exe bin/fichelia-page.exe LICENSE.txt Uninstall.exe; do
    [ -f "$folder/$file" ] || fail "$file not installed"
done
menu_entry=$(find "$WINEPREFIX/drive_c" -ipath '*start menu*' -iname 'Fichelia.lnk' | head -1)
[ -n "$menu_entry" ] || fail "no Start menu entry"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Fichelia'
wine_run reg query "$key" /v UninstallString 2>/dev/null | grep -qi 'Fichelia\\Uninstall.exe' ||
    fail "no uninstaller registered under $key"
version=$(wine_run "$folder/bin/fichelia-page.exe" --version | tr -d '\r')
[[ $(basename "$installer") == "Fichelia-${version#fichelia-page }-win64.exe" ]] ||
    fail "the installer's name does not carry the version of the programs ($version)"

# The installed window, started as the Start menu starts it, on Wine's own
# display driver under Xvfb: it must show a window titled Fichelia. Wine's
# programs started without a display end first, so that all of it starts
# again on this one.
wineserver -k >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
cat >"$work/start-window.sh" <<'SCRIPT'
#!/usr/bin/env bash
set -eu
wine "$1" >/dev/null 2>&1 &
window=$(timeout 90 xdotool search --sync --onlyvisible --name '^Fichelia$' | head -1) || exit 1
sleep 2
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
echo "window $geometry"
if [ -n "$2" ]; then
    import -window "$window" "$2"
fi
SCRIPT
chmod +x "$work/start-window.sh"
if shown=$(xvfb-run -a -s '-screen 0 1024x768x24 -nolisten tcp' \
    "$work/start-window.sh" "$folder/bin/fichelia.exe" "$screenshot"); then
    echo "check-installer: the installed fichelia.exe shows its $shown"
else
    fail "the installed fichelia.exe showed no window titled Fichelia"
fi
wineserver -k >/dev/null 2>&1 || true

wine_run "$folder/Uninstall.exe" /S || fail "the silent uninstall failed"
# The uninstaller copies itself away and returns at once: give it time.
for _ in $(seq 30); do
    [ -e "$folder/bin/fichelia.exe" ] || break
    sleep 1
done
[ ! -e "$folder/bin/fichelia.exe" ] || fail "the uninstaller left fichelia.exe"

if [ "$failures" -gt 0 ]; then
    echo "check-installer: $failures failure(s)" >&2
    exit 1
fi
echo "check-installer: installed, started and uninstalled"
