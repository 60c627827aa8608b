#!/bin/bash
# The real program where LibreOffice cannot be reached: with the office's
# folder hidden from it in a mount namespace of its own (root only), or
# without its spreadsheet module beside it. The window appears, a run and a
# copy work, and "Save Results As Excel File" gives one error report, at line
# 108, that says why.
#
# Usage: without-office.sh hidden|absent PELLORIN
# Exit status 77 (a skip) where no X server or no mount namespace can be had.

set -u
readonly mode=$1
readonly program=$2

. "$(dirname "$0")/lib.sh"
# The report is read as a screen reader reads it, over a session bus of our own.
on_own_session_bus "$@"
require_tools xdotool xclip xwininfo

case $mode in
hidden)
    [ "$(id -u)" = 0 ] || skip "hiding /usr/lib/libreoffice takes root"
    unshare -m --propagation private true 2>/dev/null || skip "no mount namespace of our own here"
    # An empty folder in place of the office's; without the office there is nothing to hide.
    hide='[ ! -d /usr/lib/libreoffice ] || mount -t tmpfs none /usr/lib/libreoffice || exit 1'
    run=(unshare -m --propagation private sh -c "$hide"' && exec "$0" "$@"' "$program")
    ;;
absent)
    mkdir "$work/bin" && cp "$program" "$work/bin/" || fail "the program cannot be copied"
    run=("$work/bin/$(basename "$program")")
    ;;
*) fail "unknown mode '$mode'" ;;
esac

start_xvfb
start_accessibility_bus
prepare_settings Text1=7 Option1=True
start_program env QT_QPA_PLATFORM=xcb "${run[@]}"

click_at 120 2835 7800 405 # Start Generating
copy_and_dismiss
lines=$(xclip -o -selection clipboard | grep -c '^4[0-9]*'$'\r''$')
[ "$lines" = 7 ] || fail "the clipboard holds $lines numbers, not 7"

click_at 4080 5700 3840 405 # Save Results As Excel File
report_box() { message_box '^Application Error$'; }
wait_for 300 report_box || fail "no error report after Save Results As Excel File"
box=$(report_box)
read_report() { window_texts 'Application Error' >"$work/report" && grep -q 'at line' "$work/report"; }
wait_for 100 read_report || fail "the error report cannot be read"
grep -q '^LibreOffice Calc is not installed or could not be started: .' "$work/report" \
    || { cat "$work/report" >&2; fail "the report does not say that LibreOffice Calc could not be started"; }
grep -q 'PushButton13_Click at line 108' "$work/report" \
    || { cat "$work/report" >&2; fail "the report is not for line 108"; }
xdotool windowfocus --sync "$box"
xdotool key Return
no_report_box() { ! report_box; }
wait_for 100 no_report_box || fail "the error report did not close on Return"
sleep 1
no_report_box && no_message_box || fail "a second box followed the error report"
program_gone && fail "the program ended after the report"
echo "PASS ($mode): 7 numbers copied, one report at line 108: $(head -n 1 "$work/report")"
