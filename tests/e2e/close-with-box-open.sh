#!/bin/bash
# Closing the main window through the window system while one of the
# program's modal boxes or dialogs is open ends the program at once, as it
# does when none is open.
#
# Usage: close-with-box-open.sh PELLORIN SEND-CLOSE-REQUEST
# Exit status 77 (a skip) only when no X server can be started here.

set -u
readonly program=$1
readonly send_close=$2

. "$(dirname "$0")/lib.sh"
require_tools xdotool xwininfo

start_xvfb

# Visible windows of the program titled $1 other than the main window.
windows_titled() {
    xdotool search --onlyvisible --pid "$program_pid" --name "^$1\$" 2>/dev/null | grep -vx "$window"
}
# Waits until $2 such windows are open.
open_count() { [ "$(windows_titled "$1" | wc -l)" -ge "$2" ]; }

readonly start='120 2835 7800 405' copy='120 6210 3840 405' save='120 5700 3840 405'
touch "$work/old.txt"

# Each case: the quantity stored, then the clicks that open what is open.
# "-" clicks nothing and reads nothing; the last two fields name the title
# of the windows to wait for and how many.
while IFS='|' read -r name quantity clicks title count; do
    prepare_settings "Text1=$quantity" Option1=True
    start_program env QT_QPA_PLATFORM=xcb "$program"
    for button in $clicks; do
        click_at ${!button}
    done
    if [ "$name" = "replace question" ]; then
        wait_for 100 open_count Save 1 || fail "$name: no save dialog"
        xdotool windowfocus --sync "$(windows_titled Save)"
        xdotool type --delay 20 "$work/old.txt"
        xdotool key Return
    fi
    wait_for 100 open_count "$title" "$count" || fail "$name: not open"
    close_and_expect_end "$send_close" 20
    echo "ok: $name"
done <<'CASES'
copied message|3|start copy|Pellorin|1
error report|abc|start|Application Error|1
save dialog|3|start save|Save|1
replace question|3|start save|Save|2
CASES
echo "PASS: closing the window ended the program with each box or dialog open"
