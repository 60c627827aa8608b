#!/bin/bash
# "Clear Results" gives the rows' memory back to the system: the real
# program makes five million rows (40 MB), and once they are cleared its
# resident memory is back within 10 MB of what it was just after start.
#
# Usage: memory-after-clear.sh PELLORIN
# Exit status 77 (a skip) when no X server can be started here, or in the
# AddressSanitizer build.

set -u
readonly program=$1
readonly rows=5000000

. "$(dirname "$0")/lib.sh"
require_tools xdotool xwininfo

# AddressSanitizer's allocator keeps freed memory in a quarantine and shadow
# of its own, so resident memory tells of the program only without it.
ldd "$program" | grep -q libasan &&
    skip "built with AddressSanitizer, whose allocator keeps what the program frees"

start_xvfb
prepare_settings "Text1=$rows" Option1=True
start_program env QT_QPA_PLATFORM=xcb "$program"

# Start-up is over once the window has been drawn and the program waits.
wait_for 100 program_asleep || fail "the program does not settle after start"
fresh=$(program_kilobytes VmRSS)

# The clear waits for the run, like every click during it.
click_at $button_start
click_at $button_clear
held() { program_gone || [ "$(program_kilobytes VmHWM)" -gt $((fresh + rows * 8 / 1024)) ]; }
wait_for 600 held
program_gone && fail "the program ended"
held || fail "the run never held the rows: $fresh kB at start, at most $(program_kilobytes VmHWM) kB"
back() { program_gone || [ "$(program_kilobytes VmRSS)" -lt $((fresh + 10240)) ] && program_asleep; }
wait_for 600 back
program_gone && fail "the program ended"
peak=$(program_kilobytes VmHWM) now=$(program_kilobytes VmRSS)
[ "$now" -lt $((fresh + 10240)) ] ||
    fail "after the clear $now kB are resident, $((now - fresh)) kB more than at start ($peak kB at most)"
echo "PASS: $fresh kB at start, $peak kB with the rows, $now kB after the clear"
