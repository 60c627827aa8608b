#!/bin/bash
# The real program on a screen of twice the density, told either way a
# desktop tells it (QT_SCALE_FACTOR=2, or Xft.dpi 192): the window keeps its
# layout in proportion and the hand pointer shows at twice its size.
#
# Usage: high-density.sh PELLORIN CURRENT-CURSOR
# Exit status 77 (a skip) only when no X server can be started.

set -u
readonly program=$1
readonly current_cursor=$2

. "$(dirname "$0")/lib.sh"
require_tools xdotool xwininfo xprop

start_xvfb
prepare_settings
# start_program finds only a window whose client area is twice 536 x 484.
export E2E_CLIENT_SIZE="1072 968"

# The 64-pixel hand of HAND-M.CUR, hotspot on the fingertip.
readonly big_hand="64 64 22 2"
pointer_at() { # x y, in device pixels of the window
    xdotool mousemove --window "$window" "$1" "$2"
    "$current_cursor"
}
hand_at() { [ "$(pointer_at "$1" "$2")" = "$big_hand" ]; }
no_hand_at() {
    local seen
    seen=$(pointer_at "$1" "$2") && [ -n "$seen" ] && [ "$seen" != "$big_hand" ]
}

# "Start Generating" covers (8, 189) to (527, 215) at 96 dpi, so (16, 378) to
# (1055, 431) here. Two device pixels outside each corner is the background.
# The image changes once the program has handled the move; the points take
# turns with and without the hand, so each wait ends on a change it made.
check_layout() {
    local how=$1
    wait_for 30 no_hand_at 14 376 || fail "$how: a hand above and left of Start Generating"
    wait_for 30 hand_at 16 378 || fail "$how: no hand at the top-left corner of Start Generating: $(pointer_at 16 378)"
    wait_for 30 no_hand_at 14 376 || fail "$how: a hand above and left of Start Generating"
    wait_for 30 hand_at 1054 430 || fail "$how: no hand at the bottom-right corner of Start Generating: $(pointer_at 1054 430)"
    wait_for 30 no_hand_at 1056 432 || fail "$how: a hand below and right of Start Generating"
}

start_program env QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 "$program"
check_layout "QT_SCALE_FACTOR=2"
kill "$program_pid" && wait "$program_pid" 2>/dev/null
program_pid=""

# What a desktop sets for a 192-dpi screen.
xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER $'Xft.dpi:\t192\n'
start_program env -u QT_SCALE_FACTOR QT_QPA_PLATFORM=xcb "$program"
check_layout "Xft.dpi 192"
echo "PASS: client area 1072 x 968, Start Generating at twice its place, the hand at 64 x 64"
