#!/bin/bash
# Closing the main window during a generation run ends the program at once,
# as it does at any other time, though the run holds every other input until
# it ends. The run is of the largest quantity, minutes of work; the close
# request is the window manager's WM_DELETE_WINDOW.
#
# Usage: close-during-run.sh PELLORIN SEND-CLOSE-REQUEST
# Exit status 77 (a skip) only when no X server can be started here.

set -u
readonly program=$1 send_close=$2

. "$(dirname "$0")/lib.sh"
require_tools xdotool xwininfo

start_xvfb
prepare_settings Text1=2147483647 Option1=True
start_program env QT_QPA_PLATFORM=xcb "$program"
click_at $button_start
wait_for_run
"$send_close" "$window" || fail "the close request could not be sent"
expect_end_within 2
