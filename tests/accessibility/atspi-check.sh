#!/usr/bin/env bash
# Runs the window with AT-SPI, the accessibility bus screen readers listen to,
# opens the About dialog through it as a screen reader user would, and
# compares what it shows of both windows with the expected tree.
#   atspi-check.sh FICHELIA EXPECTED_TREE
# Needs its own session bus and X server: run it inside dbus-run-session and
# xvfb-run (CTest does).
set -euo pipefail
program=$1 expected=$2
tree="python3 $(dirname "$0")/atspi_tree.py"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb LANG=C.UTF-8
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
launcher=$!
# The window starts once the accessibility bus has its name, as on a desktop,
# rather than racing the launcher for it.
for _ in $(seq 100); do
    [[ $(gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.a11y.Bus 2>/dev/null) == "(true,)" ]] && break
    sleep 0.1
done
# What the window says goes to a file, shown only when the check fails.
output=$(mktemp)
"$program" >"$output" 2>&1 &
window=$!
trap 'kill $window $launcher 2>/dev/null || true; rm -f "$output"' EXIT

# tree_showing TEXT [SECONDS]: waits (20 s at most) until the tree holds TEXT
# and reads the same twice in a row, then prints it.
tree_showing() {
    local shown= last=
    for _ in $(seq $((${2:-20} * 5))); do
        if [[ -z $address ]]; then
            address=$(gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
                --method org.a11y.Bus.GetAddress 2>/dev/null | sed "s/^('//; s/',)$//") || address=
        else
            last=$shown
            shown=$($tree "$address" 2>/dev/null) || shown=
            [[ $shown == *"$1"* && $shown == "$last" ]] && break
        fi
        sleep 0.2
    done
    printf '%s\n' "$shown"
}

address=
tree_showing "menu item: Au sujet de Fichelia" >/dev/null
# A busy machine may miss the first press: press again until the dialog shows.
for _ in 1 2 3 4 5; do
    $tree "$address" --press "Au sujet de Fichelia" >/dev/null
    [[ $(tree_showing "dialog: Au sujet de Fichelia" 4) == *"dialog: Au sujet de Fichelia"* ]] && break
done
if ! diff -u "$expected" <(tree_showing "dialog: Au sujet de Fichelia"); then
    echo "AT-SPI shows the windows otherwise than expected (diff above). The window said:" >&2
    cat "$output" >&2
    exit 1
fi
echo "AT-SPI names every control of both windows as expected"
