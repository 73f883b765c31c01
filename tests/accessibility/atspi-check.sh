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
"$program" >/dev/null 2>&1 &
window=$!
trap 'kill $window $launcher 2>/dev/null || true' EXIT

# tree_showing TEXT: waits up to 20 s for TEXT in the tree, and prints the tree.
tree_showing() {
    local shown=
    for _ in $(seq 100); do
        if [[ -n $address ]]; then
            shown=$($tree "$address" 2>/dev/null) || shown=
            [[ $shown == *"$1"* ]] && break
        else
            address=$(gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
                --method org.a11y.Bus.GetAddress 2>/dev/null | sed "s/^('//; s/',)$//") || address=
        fi
        sleep 0.2
    done
    printf '%s\n' "$shown"
}

address=
tree_showing "frame: Fichelia" >/dev/null
$tree "$address" --press "Au sujet de Fichelia" >/dev/null
if ! diff -u "$expected" <(tree_showing "dialog: Au sujet de Fichelia"); then
    echo "AT-SPI shows the windows otherwise than expected (diff above)" >&2
    exit 1
fi
echo "AT-SPI names every control of both windows as expected"
