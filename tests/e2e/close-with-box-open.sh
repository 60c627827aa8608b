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

# Whether $2 of the program's other windows titled $1 are open.
open_count() { [ "$(other_windows "^$1\$" | wc -l)" -ge "$2" ]; }

touch "$work/old.txt"
while IFS='|' read -r name quantity clicks title count; do
    prepare_settings "Text1=$quantity" Option1=True
    start_program env QT_QPA_PLATFORM=xcb "$program"
    for button in $clicks; do
        click_at ${!button}
    done
    if [ "$name" = "replace question" ]; then
        wait_for 100 open_count Save 1 || fail "$name: no save dialog"
        xdotool windowfocus --sync "$(other_windows '^Save$')"
        xdotool type --delay 20 "$work/old.txt"
        xdotool key Return
    fi
    wait_for 100 open_count "$title" "$count" || fail "$name: not open"
    close_and_expect_end "$send_close" 20
    echo "ok: $name"
done < <(close_cases)
echo "PASS: closing the window ended the program with each box or dialog open"
