#!/usr/bin/env bash
# Checks a Debian package of Fichelia:
#   scripts/check-package.sh FILE.deb       the package given
#   scripts/check-package.sh --build DIR     a package made by CPack from the build in DIR
# lintian must report no error or warning; the desktop entry and the metainfo
# must pass their validators and share the application's id with the icons;
# each program must have its manual page; and the package, the metainfo and
# `fichelia-page --version` must give the same version.
set -euo pipefail

work=$(mktemp -d "${TMPDIR:-/tmp}/fichelia-package-check.XXXXXX")
trap 'rm -rf "$work"' EXIT

case "${1:-}" in
    --build)
        [ $# -eq 2 ] || { echo "usage: $0 FILE.deb | --build DIR" >&2; exit 2; }
        cpack --config "$2/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" ||
            { cat "$work/cpack.log" >&2; exit 1; }
        deb=$(echo "$work"/out/fichelia_*_amd64.deb)
        ;;
    *.deb)
        [ $# -eq 1 ] || { echo "usage: $0 FILE.deb | --build DIR" >&2; exit 2; }
        deb=$1
        ;;
    *)
        echo "usage: $0 FILE.deb | --build DIR" >&2
        exit 2
        ;;
esac

failures=0
fail() {
    echo "check-package: $*" >&2
    failures=$((failures + 1))
}

for tool in lintian desktop-file-validate appstreamcli dpkg-deb; do
    command -v "$tool" >/dev/null || { echo "check-package: $tool missing (scripts/install-deps.sh --package)" >&2; exit 1; }
done

echo "== lintian $(basename "$deb")"
# lintian warns on stderr when run as root; that is not a finding.
lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2) || fail "lintian reports errors or warnings"

root=$work/root
dpkg-deb -x "$deb" "$root"
id=$(basename "$(echo "$root"/usr/share/metainfo/*.metainfo.xml)" .metainfo.xml)
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
desktop=$root/usr/share/applications/$id.desktop

echo "== the application's id: $id"
[ -f "$desktop" ] || fail "no desktop entry $id.desktop"
desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $id.desktop"
appstreamcli validate --no-net --explain "$metainfo" || fail "appstreamcli refuses the metainfo"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry's icon is not $id"
grep -q "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the metainfo launches another entry"
for size in 16 24 32 48 64 128 256; do
    [ -f "$root/usr/share/icons/hicolor/${size}x$size/apps/$id.png" ] || fail "no $size pixel icon"
done
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -x "$root/usr/bin/$exec_name" ] || fail "the desktop entry starts $exec_name, which is not in /usr/bin"

echo "== manual pages"
for program in "$root"/usr/bin/*; do
    name=$(basename "$program")
    for page in "$root/usr/share/man/man1/$name.1.gz" "$root/usr/share/man/fr/man1/$name.1.gz"; do
        [ -f "$page" ] || fail "no manual page ${page#"$root"}"
    done
done

echo "== version"
package_version=$(dpkg-deb -f "$deb" Version)
tool_version=$("$root/usr/bin/fichelia-page" --version)
[ "$tool_version" = "fichelia-page $package_version" ] ||
    fail "fichelia-page --version says \"$tool_version\", the package is $package_version"
grep -q "<release version=\"$package_version\"" "$metainfo" || fail "the metainfo's release is not $package_version"
grep -qx "License: MIT" "$root/usr/share/doc/fichelia/copyright" || fail "the copyright file names no MIT licence"
grep -q "<project_license>MIT</project_license>" "$metainfo" || fail "the metainfo names no MIT licence"
echo "package $package_version, $tool_version"

if [ "$failures" -gt 0 ]; then
    echo "check-package: $failures problem(s) in $(basename "$deb")" >&2
    exit 1
fi
echo "check-package: $(basename "$deb") is fine"
