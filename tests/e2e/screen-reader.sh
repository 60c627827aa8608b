#!/bin/bash
# The real program as a screen reader hears it: a session bus and the
# accessibility bus of its own, the program with accessibility on, and an
# AT-SPI client (screen-reader.py) that reads the controls in screen order,
# presses "Start Generating" with the keypad's Enter, reads the 2,000 rows it
# makes and hears what the list's keys do.
#
# Usage: screen-reader.sh PELLORIN
# Exit status 77 (a skip) only when no X server or no bus can be started here.

set -u
readonly program=$1
readonly here=$(dirname "$0")

. "$here/lib.sh"
on_own_session_bus "$@"
require_tools xdotool xwininfo
readonly client_python=/usr/bin/python3

start_xvfb

start_accessibility_bus

prepare_settings Text1=2000
start_program env QT_QPA_PLATFORM=xcb "$program"
"$client_python" "$here/screen-reader.py" "$program_pid" "$window" || {
    cat "$work/program.log" >&2
    fail "the screen reader's view of the window is not as it should be"
}
# Qt's bridge complains on standard error of what it cannot pass on; over
# the run and everything else the reader did there must be nothing.
[ -s "$work/program.log" ] && fail "the program printed: $(head -c 2000 "$work/program.log")"
echo "PASS: every control and the rows heard through AT-SPI"
