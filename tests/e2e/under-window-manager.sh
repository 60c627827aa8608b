#!/bin/bash
# Under a real window manager (openbox), the window opens centred with its
# frame and title bar and stays where it opened, and the close button on its
# title bar ends the program while a message box is open.
#
# Usage: under-window-manager.sh PELLORIN
# Exit status 77 (a skip) only when no X server can be started here.

set -u
readonly program=$1

. "$(dirname "$0")/lib.sh"
require_tools openbox xprop xwininfo xdotool

start_xvfb
prepare_settings Text1=3 Option1=True
openbox --sm-disable >"$work/openbox.log" 2>&1 &
openbox_pid=$!
extra_cleanup+=('kill $openbox_pid 2>/dev/null')
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
wait_for 100 wm_running || { cat "$work/openbox.log" >&2; fail "openbox did not start"; }

start_program env QT_QPA_PLATFORM=xcb "$program"
framed() { xprop -id "$window" _NET_FRAME_EXTENTS | grep -q '='; }
wait_for 100 framed || fail "openbox gave the window no frame"

# Client area position on the screen and the frame around it.
client_origin() { xwininfo -id "$window" | sed -n 's/^ *Absolute upper-left [XY]: *//p' | tr '\n' ' '; }
read -r x y <<<"$(client_origin)"
read -r left right top bottom <<<"$(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
((left + right + top + bottom > 0)) || fail "the frame is empty"
gap_left=$((x - left)) gap_right=$((1280 - x - 536 - right))
gap_top=$((y - top)) gap_bottom=$((1024 - y - 484 - bottom))
echo "frame $left $right $top $bottom; gaps left $gap_left right $gap_right top $gap_top bottom $gap_bottom"
((gap_left - gap_right <= 1 && gap_right - gap_left <= 1)) || fail "left and right gaps differ"
((gap_top - gap_bottom <= 1 && gap_bottom - gap_top <= 1)) || fail "top and bottom gaps differ"

# Copy, and with the "copied" message open, the close button at the right end
# of the main window's title bar.
click_at $button_start
click_at $button_copy
wait_for 100 message_box || fail "no message box after the copy"
# No move after the window manager framed it, by the time the program has
# answered two clicks and openbox has placed the box.
[ "$(client_origin)" = "$x $y " ] || fail "the window moved from $x $y to $(client_origin)"
xdotool mousemove $((x + 536 - 8)) $((y - top / 2)) click 1
wait_for 20 program_gone || fail "the program still runs 2 s after a click on the close button"
echo "PASS: centred with its frame under openbox; the close button ended the program"
