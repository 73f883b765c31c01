#!/usr/bin/env bash
# Drags a file from another program onto the window with the real X server's
# drag and drop (XDND), the mouse moved by xdotool, and checks what the window
# answered: a copy when the drag offers one, nothing when it offers only a
# move, never a move (which would have the source delete the file); and that
# the report box opened only after the copy.
#   real-drag.sh FICHELIA DRAG_SOURCE FILE
# Needs an X server of its own: run it inside xvfb-run (CTest does).
set -euo pipefail
program=$1 source=$2 file=$3
export QT_QPA_PLATFORM=xcb LANG=C.UTF-8
work=$(mktemp -d)
export HOME=$work XDG_CACHE_HOME=$work/cache
"$program" >"$work/window.log" 2>&1 &
window=$!
trap 'kill $window 2>/dev/null || true; rm -rf "$work"' EXIT

# find_window NAME: waits (10 s at most) for a window of that name, prints its id.
find_window() {
    for _ in $(seq 100); do
        xdotool search --name "^$1\$" 2>/dev/null | head -n 1 | grep . && return 0
        sleep 0.1
    done
    echo "no window named $1" >&2
    return 1
}

# boxes: how many windows named Fichelia are shown besides the main window.
boxes() {
    sleep 2
    echo $(($(xdotool search --onlyvisible --name '^Fichelia$' 2>/dev/null | wc -l) - 1))
}

# drag ACTIONS: drags the file, offering those actions, from the source's
# window to the middle of the main window; sets answer to what the source was
# told, and shown to the number of boxes then open.
drag() {
    "$source" "$1" "$file" >"$work/answer" 2>>"$work/source.log" &
    local dragger=$!
    find_window "drag source" >/dev/null
    sleep 0.3
    xdotool mousemove 75 75 mousedown 1
    local x y
    for step in 1 2 3 4 5 6 7 8 9 10; do
        x=$((75 + (target_x - 75) * step / 10)) y=$((75 + (target_y - 75) * step / 10))
        xdotool mousemove "$x" "$y"
        sleep 0.1
    done
    sleep 0.5
    xdotool mouseup 1
    for _ in $(seq 100); do
        [[ -s $work/answer ]] && break
        sleep 0.1
    done
    # The target reads the files' list from the source after the drop: the
    # source stays until the box had time to show.
    shown=$(boxes)
    kill $dragger 2>/dev/null || true
    wait $dragger 2>/dev/null || true
    answer=$(cat "$work/answer")
}

main=$(find_window Fichelia)
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$main")"
target_x=$((X + WIDTH / 2)) target_y=$((Y + HEIGHT / 2))

status=0
check() { # ACTIONS EXPECTED_ANSWER EXPECTED_BOXES
    drag "$1"
    if [[ $answer == "$2" && $shown == "$3" ]]; then
        echo "offering $1: answered ${answer}, ${shown} box shown, as expected"
    else
        echo "offering $1: answered '${answer}' with ${shown} box shown, expected $2 with $3" >&2
        status=1
    fi
}
check move ignore 0
check copy,move copy 1
if [[ $status != 0 ]]; then
    cat "$work/window.log" "$work/source.log" >&2 || true
fi
exit $status
