#!/bin/bash
# A wrong quantity and a quick click on "Start Generating" (press and release
# with nothing between them): the quantity check's message comes first, and
# the click that took the focus from the box starts no run.
#
# Usage: quantity-check-before-click.sh PELLORIN
# Exit status 77 (a skip) only when no X server can be started here.

set -u
readonly program=$1

. "$(dirname "$0")/lib.sh"
require_tools xdotool xwininfo xclip

start_xvfb
prepare_settings Text1=abc Option1=True
start_program env QT_QPA_PLATFORM=xcb "$program"

# The titles of the program's other windows.
boxes() {
    local id
    for id in $(other_windows); do xdotool getwindowname "$id"; done | sort | tr '\n' '|'
}
some_box() { [ -n "$(other_windows)" ]; }

click_at $box_quantity
for try in 1 2 3 4 5 6 7 8 9 10; do
    # Start Generating, pressed and released at once.
    xdotool mousemove --window "$window" $(((120 + 3900) / 15)) $(((2835 + 202) / 15)) mousedown 1 mouseup 1
    wait_for 100 some_box || fail "try $try: no message"
    # A second box would follow at once if the click went on to start a run.
    sleep 0.5
    [ "$(boxes)" = "Pellorin|" ] || fail "try $try: the boxes open are '$(boxes)', not the check's alone"
    xdotool windowfocus --sync "$(other_windows)"
    xdotool key Return
    wait_for 100 eval '! some_box' || fail "try $try: the message did not close"
    # Without a window manager nothing gives the main window the focus back.
    xdotool windowfocus --sync "$window"
done

# No run made a row: a copy of the empty list leaves the clipboard unowned.
click_at $button_copy
wait_for 100 some_box || fail "no message after the copy"
xclip -o -selection clipboard >/dev/null 2>&1 && fail "the clipboard holds '$(xclip -o -selection clipboard | head -c 80)'"
echo "PASS: ten quick clicks, each met by the check's message alone, no run"
