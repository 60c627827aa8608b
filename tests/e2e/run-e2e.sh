#!/bin/bash
# Drives the real program in its own X server, as a user would: starts it on
# prepared settings, clicks its buttons at their places in the layout, reads
# the X clipboard, checks the stored settings and closes the window.
#
# Usage: run-e2e.sh PELLORIN SEND-CLOSE-REQUEST
# Exit status 77 (a skip) only when no X server can be started here.

set -u
readonly program=$1
readonly send_close=$2

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in Xvfb xdotool xclip xwininfo xdpyinfo; do
    command -v "$tool" >/dev/null || fail "$tool is missing (make deps installs it)"
done

work=$(mktemp -d /tmp/pellorin-e2e.XXXXXX)
xvfb_pid=""
program_pid=""
cleanup() {
    [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1
    shift
    while ! "$@" >/dev/null 2>&1; do
        tenths=$((tenths - 1))
        [ "$tenths" -le 0 ] && return 1
        sleep 0.1
    done
}

# --- An X server of our own on a free display --------------------------------
# Xvfb picks the display itself (-displayfd), so no other server started at
# the same moment can take the number between a check and the start; without
# -noreset it resets when xdpyinfo, its first client, leaves, and refuses
# the program's connection for that moment.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp -noreset 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
display_known() { [ -s "$work/display" ]; }
display=""
if wait_for 100 display_known; then
    display=":$(head -n 1 "$work/display")"
    wait_for 100 xdpyinfo -display "$display" || display=""
fi
if [ -z "$display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "SKIP: Xvfb could not start:" >&2
    cat "$work/xvfb.log" >&2
    exit 77
fi
export DISPLAY=$display

# --- Prepared settings: American Express, 25 numbers ---------------------------
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Quillmere" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
settings=$XDG_CONFIG_HOME/Quillmere/Pellorin.ini
printf '[Pellorin]\nText1=25\nOption1=False\nOption3=True\n' >"$settings"

QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
program_pid=$!

find_main_window() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$program_pid" --name '^Pellorin$' 2>/dev/null); do
        if xwininfo -id "$id" | grep -q 'Width: 536' && xwininfo -id "$id" | grep -q 'Height: 484'; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
program_gone() { ! kill -0 "$program_pid" 2>/dev/null; }
window_or_gone() { program_gone || find_main_window; }
wait_for 300 window_or_gone
window=$(find_main_window) || {
    cat "$work/program.log" >&2
    program_gone && fail "the program ended before it showed its window"
    xdotool search --name . 2>/dev/null | while read -r id; do xwininfo -id "$id" | head -8 >&2; done
    fail "no visible window named Pellorin with a 536 x 484 client area"
}
# Without a window manager there is no frame: the window is the client area.
geometry=$(xwininfo -id "$window")
width=$(sed -n 's/^ *Width: //p' <<<"$geometry")
height=$(sed -n 's/^ *Height: //p' <<<"$geometry")
[ "$width" = 536 ] && [ "$height" = 484 ] || fail "client area is ${width} x ${height}, not 536 x 484"

# Twips of the layout to pixels: 15 twips make a pixel; aim at the middle.
click_at() { # left top width height, in twips
    local x=$((($1 + $3 / 2) / 15)) y=$((($2 + $4 / 2) / 15))
    xdotool mousemove --window "$window" "$x" "$y" click 1
}

message_box() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$program_pid" --name '^Pellorin$' 2>/dev/null); do
        [ "$id" != "$window" ] && echo "$id" && return 0
    done
    return 1
}
no_message_box() { ! message_box; }

# Copy Results To Clipboard, then dismiss the message it shows with Return.
copy_and_dismiss() {
    click_at 120 6210 3840 405
    wait_for 100 message_box || fail "no message box after the copy"
    local box
    box=$(message_box)
    xdotool windowfocus --sync "$box"
    xdotool key Return
    wait_for 100 no_message_box || fail "the message box did not close on Return"
}

luhn_valid() {
    local digits=$1 sum=0 i d n=${#1}
    for ((i = 0; i < n; i++)); do
        d=${digits:n-1-i:1}
        if ((i % 2 == 1)); then
            d=$((d * 2))
            ((d > 9)) && d=$((d - 9))
        fi
        sum=$((sum + d))
    done
    ((sum % 10 == 0))
}

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
        luhn_valid "$number" || fail "line $k '$number' fails the Luhn check"
    done <"$work/clipboard"
}

readonly amex='^37(2034|2407|2861|3227)[1-9]{9}$'
readonly discover='^601100[1-9]{10}$'

# --- The prepared choice: 25 American Express numbers --------------------------
click_at 120 2835 7800 405 # Start Generating
copy_and_dismiss
check_clipboard 25 0 "$amex"

# --- Discover and a quantity of 12, chosen with clicks and keys ----------------
click_at 360 1470 1935 285 # Option4, Discover: Frame1 at 120,120 holds it at 240,1350
click_at 360 2250 7300 345 # Text1: Frame2 at 120,1950 holds it at 240,300
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 12
click_at 120 2835 7800 405 # Start Generating; Text1 loses the focus and passes its check
copy_and_dismiss
check_clipboard 25 12 "$amex" "$discover"

# --- What the clicks stored ---------------------------------------------------
value() { sed -n "s/^$1=//p" "$settings"; }
[ "$(value Text1)" = 12 ] || fail "Text1 holds '$(value Text1)', not 12"
[ "$(value Option4)" = True ] || fail "Option4 holds '$(value Option4)', not True"
[ "$(value Option3)" = True ] || fail "Option3 holds '$(value Option3)', not True"
[ "$(value Option1)" = False ] || fail "Option1 holds '$(value Option1)', not False"

# --- Closing the window ends the process ----------------------------------------
"$send_close" "$window" || fail "the close request could not be sent"
wait_for 100 program_gone || fail "the program still runs 10 s after its window was closed"
wait "$program_pid"
status=$?
program_pid=""
[ "$status" = 0 ] || fail "the program ended with status $status"
echo "PASS: 37 numbers copied, settings stored, the window closed the program"
