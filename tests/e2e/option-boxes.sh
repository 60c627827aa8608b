#!/bin/bash
# Each card-type option takes the click anywhere in its box of 1,935 x 285
# twips (129 x 19 pixels): real clicks at its corners, its middle and right
# of its caption choose it; clicks just outside it choose nothing.
#
# Usage: option-boxes.sh PELLORIN CURRENT-CURSOR
# Exit status 77 (a skip) only when no X server can be started here.

set -u
readonly program=$1 current_cursor=$2

. "$(dirname "$0")/lib.sh"
require_tools xdotool xwininfo

start_xvfb
prepare_settings Text1=5 Option1=False Option4=True
start_program env QT_QPA_PLATFORM=xcb "$program"

# The boxes in window pixels: Frame1 at 8,8 holds them at 16 and at 20, 43,
# 67 and 90, each 129 x 19.
readonly left=24 box_width=129 box_height=19
readonly tops=(28 51 75 98)

# The option a click chose, as it stores the state of all four.
selected() {
    local i
    for i in 1 2 3 4; do
        [ "$(sed -n "s/^Option$i=//p" "$settings")" = True ] && echo "$i"
    done
}
is_selected() { [ "$(selected)" = "$1" ]; }
click_in() { # option, x and y in its box
    xdotool mousemove --window "$window" $((left + $2)) $((tops[$1 - 1] + $3)) click 1
}

readonly hand=$(hand_pointer_of "$program")
hand_shown() { [ "$("$current_cursor")" = "$hand" ]; }
# Every event sent before has been handled once the pointer over "Start
# Generating" has turned into the hand.
all_handled() {
    point_at $button_start
    wait_for 50 hand_shown || fail "no hand over Start Generating: $("$current_cursor") not $hand"
    point_at $progress_bar # which leaves the pointer alone
}

for point in "0 0" "$((box_width / 2)) $((box_height / 2))" "100 9" "$((box_width - 1)) $((box_height - 1))" "$((box_width - 1)) 0"; do
    for option in 1 2 3 4; do
        click_in "$option" $point
        wait_for 50 is_selected "$option" || fail "a click at $point in option $option's box chose option $(selected)"
    done
    echo "ok: a click at $point in each box chooses it"
done

# Just outside: right of the box, above and below it in the gaps. The option
# chosen before stays chosen.
for option in 1 2 3 4; do
    other=$((option % 4 + 1))
    click_in "$other" 5 5
    wait_for 50 is_selected "$other" || fail "option $other was not chosen"
    all_handled
    for point in "$box_width $((box_height / 2))" "60 -1" "60 $box_height"; do
        click_in "$option" $point
    done
    all_handled
    is_selected "$other" || fail "a click just outside option $option's box chose option $(selected)"
done
echo "PASS: each option's whole box takes the click, and nothing just outside it"
