#!/bin/bash
# Drives the real program in its own X server, as a user would: starts it on
# prepared settings, clicks its buttons at their places in the layout, reads
# the X clipboard, checks the stored settings and closes the window. PELLORIN
# may be a symbolic link, as an installed one is: the hand pointer still comes
# from the folder of the file it leads to.
#
# Usage: run-e2e.sh PELLORIN SEND-CLOSE-REQUEST CURRENT-CURSOR
# Exit status 77 (a skip) only when no X server can be started here.

set -u
readonly program=$1
readonly send_close=$2
readonly current_cursor=$3

. "$(dirname "$0")/lib.sh"
require_tools xdotool xclip xwininfo

start_xvfb

# --- Prepared settings: American Express, 25 numbers ---------------------------
prepare_settings Text1=25 Option1=False Option3=True
# Started with every signal at its default, so that what it ignores, it
# ignores of its own accord.
start_program env --default-signal QT_QPA_PLATFORM=xcb "$program"

# A broken office connection or the file size limit must fail a write, not
# end the program: SIGPIPE (13) and SIGXFSZ (25) ignored.
ignored=$((16#$(sed -n 's/^SigIgn:\t//p' "/proc/$program_pid/status")))
(((ignored >> 12) & 1)) || fail "the program does not ignore SIGPIPE"
(((ignored >> 24) & 1)) || fail "the program does not ignore SIGXFSZ"
# Without a window manager there is no frame: the window is the client area.
geometry=$(xwininfo -id "$window")
width=$(sed -n 's/^ *Width: //p' <<<"$geometry")
height=$(sed -n 's/^ *Height: //p' <<<"$geometry")
[ "$width" = 536 ] && [ "$height" = 484 ] || fail "client area is ${width} x ${height}, not 536 x 484"

# --- The hand over a button: HAND-M.CUR from where the program looks ----------
hand_pointer=$(hand_pointer_of "$program")
hand_shown() { [ "$("$current_cursor")" = "$hand_pointer" ]; }
point_at $button_start
wait_for 50 hand_shown || fail "over a button the pointer is '$("$current_cursor")', not HAND-M.CUR's ($hand_pointer)"

# Checks the clipboard: $1 lines of the first pattern, then $2 of the second.
check_clipboard() {
    local first=$1 second=$2 first_pattern=$3 second_pattern=${4:-}
    xclip -o -selection clipboard >"$work/clipboard" || fail "the clipboard cannot be read"
    local total=$((first + second)) lines crlf
    lines=$(wc -l <"$work/clipboard")
    crlf=$(grep -c $'\r$' "$work/clipboard")
    [ "$lines" = "$total" ] || fail "the clipboard holds $lines lines, not $total"
    [ "$crlf" = "$total" ] || fail "only $crlf of $total lines end in CR LF"
    [ "$(tail -c 2 "$work/clipboard" | od -An -tx1 | tr -d ' ')" = 0d0a ] \
        || fail "the clipboard text does not end in CR LF"
    local k=0 number
    while IFS= read -r line; do
        k=$((k + 1))
        number=${line%$'\r'}
        if [ "$k" -le "$first" ]; then
            [[ $number =~ $first_pattern ]] || fail "line $k '$number' is not of the expected brand"
        else
            [[ $number =~ $second_pattern ]] || fail "line $k '$number' is not of the expected brand"
        fi
    done <"$work/clipboard"
    local failures
    failures=$(luhn_failures "$work/clipboard") || fail "lines failing the Luhn check: $failures"
}

readonly amex='^37(2034|2407|2861|3227)[1-9]{9}$'
readonly discover='^601100[1-9]{10}$'

# --- The prepared choice: 25 American Express numbers --------------------------
click_at $button_start
copy_and_dismiss
check_clipboard 25 0 "$amex"

# --- Discover and a quantity of 12, chosen with clicks and keys ----------------
click_at $option_discover
click_at $box_quantity
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 12
click_at $button_start # Text1 loses the focus and passes its check
copy_and_dismiss
check_clipboard 25 12 "$amex" "$discover"

# Every plain-text form that Qt, GTK and plain X11 clients ask for gives the
# same bytes.
for target in UTF8_STRING STRING TEXT text/plain 'text/plain;charset=utf-8'; do
    xclip -o -selection clipboard -t "$target" >"$work/as-target" \
        || fail "the clipboard cannot be read as $target"
    cmp -s "$work/clipboard" "$work/as-target" || fail "the clipboard as $target differs from its text"
done

# --- What the clicks stored ---------------------------------------------------
value() { sed -n "s/^$1=//p" "$settings"; }
[ "$(value Text1)" = 12 ] || fail "Text1 holds '$(value Text1)', not 12"
# Start-up selected American Express and the click Discover: each stored all four.
options="$(value Option1) $(value Option2) $(value Option3) $(value Option4)"
[ "$options" = "False False False True" ] || fail "Option1 to Option4 hold '$options', not Discover alone"

# --- Closing the window ends the process ----------------------------------------
"$send_close" "$window" || fail "the close request could not be sent"
wait_for 100 program_gone || fail "the program still runs 10 s after its window was closed"
wait "$program_pid"
status=$?
program_pid=""
[ "$status" = 0 ] || fail "the program ended with status $status"
echo "PASS: 37 numbers copied, settings stored, the window closed the program"
