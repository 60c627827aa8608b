#!/bin/bash
# Focus that can be seen, in pictures of the real window: the empty list with
# the focus at start-up shows a box around its area, gone once Tab moves on;
# the box of the current row moves between a ticked and an unticked row. In
# each case the colours drawn are compared: at least 3:1 (focus-pictures.py).
#
# Usage: focus-pictures.sh PELLORIN
# Exit status 77 (a skip) only when no X server can be started here.

set -u
readonly program=$1
readonly here=$(dirname "$0")

. "$here/lib.sh"
require_tools xdotool xwininfo import

start_xvfb
prepare_settings Text1=3 Option1=True
start_program env QT_QPA_PLATFORM=xcb "$program"
xdotool windowfocus --sync "$window"

compare() { /usr/bin/python3 "$here/focus-pictures.py" "$@"; }
shot() { import -window "$window" -depth 8 "rgb:$work/$1.rgb"; }
# Takes picture $1 once the window has drawn: two pictures in a row alike.
settled() {
    shot "$1" && shot "$1.again" && cmp -s "$work/$1.rgb" "$work/$1.again.rgb"
}
# Takes picture $1 once the list looks different from picture $2 and settled.
changed_from() {
    settled "$1" && compare changed "$work/$2.rgb" "$work/$1.rgb"
}

wait_for 50 settled start || fail "the window never settled after taking the focus"
xdotool key Tab
wait_for 50 changed_from tabbed start || fail "the list looks the same with and without the focus"
echo "empty list, focused (start-up) against 'Start Generating' focused:"
compare box "$work/start.rgb" "$work/tabbed.rgb" frame || fail "no visible focus on the empty list"

# Three rows; back in the list the first row is current; untick the second.
xdotool key Return shift+Tab Down space
wait_for 50 changed_from unticked tabbed || fail "no rows after Enter on 'Start Generating'"
xdotool key Up
wait_for 50 changed_from ticked unticked || fail "Up did not move the current row"
echo "box on the unticked second row against the box on the ticked first row:"
compare box "$work/unticked.rgb" "$work/ticked.rgb" rows || fail "the current row's box does not stand out"
echo "PASS: the focus shows on the empty list and on ticked and unticked rows, at least 3:1"
