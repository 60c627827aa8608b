#!/bin/bash
# Shared by the end-to-end scripts: an X server of their own, the real program
# on prepared settings, and the helpers to find its windows and click them.
# Source it; it sets `work`, `program_pid` and cleans both up on exit.
# A script skips (exit 77) only where no X server can be started.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

skip() {
    echo "SKIP: $*" >&2
    exit 77
}

require_tools() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is missing (make deps installs it)"
    done
}

work=$(mktemp -d /tmp/pellorin-e2e.XXXXXX)
xvfb_pid=""
program_pid=""
# Further clean-up steps of a script, run before the X server ends.
extra_cleanup=()
e2e_cleanup() {
    local step
    for step in "${extra_cleanup[@]}"; do eval "$step"; done
    [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap e2e_cleanup EXIT

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

# Starts Xvfb on a free display and exports DISPLAY; extra arguments go to
# Xvfb, and E2E_SCREEN sets the screen (1280x1024x24). Xvfb picks the display itself (-displayfd), so no other server
# started at the same moment can take the number between a check and the
# start; without -noreset it resets when xdpyinfo, its first client, leaves,
# and refuses the program's connection for that moment.
start_xvfb() {
    require_tools Xvfb xdpyinfo
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1280x1024x24}" -dpi 96 -nolisten tcp -noreset "$@" \
        3>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    display_known() { [ -s "$work/display" ]; }
    local display=""
    if wait_for 100 display_known; then
        display=":$(head -n 1 "$work/display")"
        wait_for 100 xdpyinfo -display "$display" || display=""
    fi
    if [ -z "$display" ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
        cat "$work/xvfb.log" >&2
        skip "Xvfb could not start"
    fi
    export DISPLAY=$display
}

# Points the user's folders into $work and writes the settings file from the
# lines given, e.g. prepare_settings Text1=25 Option1=False.
prepare_settings() {
    export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
    mkdir -p "$HOME" "$XDG_CONFIG_HOME/Quillmere" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    settings=$XDG_CONFIG_HOME/Quillmere/Pellorin.ini
    { echo '[Pellorin]'; printf '%s\n' "$@"; } >"$settings"
}

# Starts the program (the command given) and waits for its main window;
# sets `window`. The client area is 536 x 484 unless E2E_CLIENT_SIZE says
# otherwise ("1072 968" at twice the scale).
start_program() {
    "$@" >"$work/program.log" 2>&1 &
    program_pid=$!
    wait_for 300 window_or_gone
    window=$(find_main_window) || {
        cat "$work/program.log" >&2
        program_gone && fail "the program ended before it showed its window"
        xdotool search --name . 2>/dev/null | while read -r id; do xwininfo -id "$id" | head -8 >&2; done
        fail "no visible window named Pellorin with a ${E2E_CLIENT_SIZE:-536 484} client area"
    }
}

find_main_window() {
    local id size=(${E2E_CLIENT_SIZE:-536 484})
    for id in $(xdotool search --onlyvisible --pid "$program_pid" --name '^Pellorin$' 2>/dev/null); do
        if xwininfo -id "$id" | grep -q "Width: ${size[0]}\$" && xwininfo -id "$id" | grep -q "Height: ${size[1]}\$"; then
            echo "$id"
            return 0
        fi
    done
    return 1
}
program_gone() { ! kill -0 "$program_pid" 2>/dev/null; }
window_or_gone() { program_gone || find_main_window; }

# The controls in the window's layout, in twips: left top width height, for
# point_at and click_at.
readonly button_start='120 2835 7800 405'       # Start Generating
readonly button_save='120 5700 3840 405'        # Save Results As Text File
readonly button_excel='4080 5700 3840 405'      # Save Results As Excel File
readonly button_copy='120 6210 3840 405'        # Copy Results To Clipboard
readonly button_clear='4080 6210 3840 405'      # Clear Results
readonly box_quantity='360 2250 7300 345'       # Text1: Frame2 at 120,1950 holds it at 240,300
readonly option_discover='360 1470 1935 285'    # Option4: Frame1 at 120,120 holds it at 240,1350
readonly progress_bar='120 6735 7800 405'       # ProgressBar1

# Twips of the layout to pixels: 15 twips make a pixel; aim at the middle.
point_at() { # left top width height, in twips
    local x=$((($1 + $3 / 2) / 15)) y=$((($2 + $4 / 2) / 15))
    xdotool mousemove --window "$window" "$x" "$y"
}
click_at() { # left top width height, in twips
    point_at "$@" && xdotool click 1
}

# The pointer image of the HAND-M.CUR the program $1 (which may be a symbolic
# link) reads: an installed one's, in <prefix>/share/pellorin, else the one
# beside it; as CurrentCursor prints it: "WIDTH HEIGHT XHOT YHOT" from the
# file's first entry (bytes 6, 7 and 10-13).
hand_pointer_of() {
    local folder hand width height hot_x hot_y
    folder=$(dirname "$(readlink -f "$1")")
    hand=$folder/HAND-M.CUR
    [[ $folder == */lib/*pellorin ]] && hand=${folder%/lib/*}/share/pellorin/HAND-M.CUR
    [ -f "$hand" ] || fail "$hand is missing"
    read -r width height < <(od -An -tu1 -j6 -N2 "$hand")
    read -r hot_x hot_y < <(od -An -tu2 -j10 -N4 "$hand")
    echo "$width $height $hot_x $hot_y"
}

# The program's visible windows other than the main window, one id a line,
# those whose name matches the pattern given ($1, any name by default).
other_windows() {
    xdotool search --onlyvisible --pid "$program_pid" --name "${1:-.}" 2>/dev/null | grep -vx "$window"
}
# The first of them named after the program, or as the pattern given.
message_box() { other_windows "${1:-^Pellorin\$}" | head -n 1 | grep .; }
no_message_box() { ! message_box; }

# Copy Results To Clipboard, then dismiss the message it shows with Return.
copy_and_dismiss() {
    click_at $button_copy
    wait_for 100 message_box || fail "no message box after the copy"
    local box
    box=$(message_box)
    xdotool windowfocus --sync "$box"
    xdotool key Return
    wait_for 100 no_message_box || fail "the message box did not close on Return"
}

# Runs the calling script again on a session bus of its own and ends with
# its status: pass the script's arguments. In that run it returns at once.
# Skips where no session bus can be started.
on_own_session_bus() {
    if [ -n "${PELLORIN_SESSION_BUS:-}" ]; then
        echo started >"$PELLORIN_SESSION_BUS"
        return 0
    fi
    require_tools dbus-run-session
    local started status
    started=$(mktemp "$work/bus.XXXXXX")
    PELLORIN_SESSION_BUS=$started dbus-run-session -- bash "$0" "$@"
    status=$?
    # An empty marker: the script never ran, so the session bus did not start.
    [ -s "$started" ] || skip "no session bus could be started"
    exit "$status"
}

# What a screen reader sees: the accessibility bus on the script's session
# bus (on_own_session_bus); Qt programs started after it report to it.
start_accessibility_bus() {
    require_tools dbus-send
    [ -x /usr/libexec/at-spi-bus-launcher ] || fail "at-spi-bus-launcher is missing (make deps installs at-spi2-core)"
    /usr/bin/python3 -c 'import pyatspi' 2>/dev/null || fail "pyatspi is missing (make deps installs python3-pyatspi)"
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.log" 2>&1 &
    extra_cleanup+=("kill $! 2>/dev/null")
    bus_address() {
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress
    }
    if ! wait_for 100 bus_address; then
        cat "$work/at-spi.log" >&2
        skip "the accessibility bus could not be started"
    fi
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}

# The texts of the labels in the program's windows titled $1, one a line;
# with --focused after it, the role of the control there that has the keyboard.
window_texts() {
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/window-texts.py" "$program_pid" "$@"
}

# The titles of the program's other windows, sorted, each ended by "|".
box_titles() {
    local id
    for id in $(other_windows); do xdotool getwindowname "$id"; done | sort | tr '\n' '|'
}

# Checks that no box is still to come of the clicks and keys sent so far
# ($1 says after what). Copy Results To Clipboard opens its message only once
# the program has handled all of them, and a box they opened would be modal
# and keep the copy from running; so its message must come, and alone. Closes
# it. Reads the message over the accessibility bus (start_accessibility_bus).
expect_nothing_more_after() {
    click_at $button_copy
    copy_message() { window_texts Pellorin | grep -q '^Results have been copied to the clipboard\.'; }
    wait_for 100 copy_message || fail "$1: no copy message; the boxes open are '$(box_titles)'"
    [ "$(box_titles)" = "Pellorin|" ] || fail "$1: the boxes open are '$(box_titles)', not the copy's message alone"
    xdotool windowfocus --sync "$(message_box)"
    xdotool key Return
    wait_for 100 no_message_box || fail "the copy's message did not close on Return"
}

# The lines of the file given ($1, or standard input) that are not numbers
# passing the Luhn check, each with its line number; none when all pass.
luhn_failures() {
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/luhn.py" "$@"
}

# The boxes and dialogs a close request may meet, one a line: its name, the
# quantity stored, the controls clicked to open it, the title of the windows
# it opens and how many of them are open then.
close_cases() {
    cat <<'CASES'
copied message|3|button_start button_copy|Pellorin|1
error report|abc|button_start|Application Error|1
quantity message|0|box_quantity button_start|Pellorin|1
save dialog|3|button_save|Save|1
replace question|3|button_save|Save|2
CASES
}

# The program's memory in kB as /proc tells it: $1 is VmRSS (resident now)
# or VmHWM (the most resident so far).
program_kilobytes() { sed -n "s/^$1:[^0-9]*\([0-9]*\) kB/\1/p" "/proc/$program_pid/status"; }

# Waits until the program's main thread has come to rest.
program_asleep() { [ "$(cut -d' ' -f3 "/proc/$program_pid/stat")" = S ]; }

# Waits until a generation run started by a click is under way: its rows
# have taken 20 MB more than the program held before the click.
wait_for_run() {
    local before
    before=$(program_kilobytes VmHWM)
    run_under_way() { program_gone || [ "$(program_kilobytes VmHWM)" -gt $((before + 20480)) ]; }
    wait_for 300 run_under_way && ! program_gone || fail "no run under way 30 s after Start Generating"
}

# Expects the program to end with status 0 within $1 seconds of now, as the
# test's own clock measures; prints how long it took. The bound is generous:
# a failure signal, not a measure of speed.
expect_end_within() {
    local since status took
    since=$(date +%s%N)
    wait_for $(($1 * 10)) program_gone || fail "the program still runs $1 s after the close request"
    took=$((($(date +%s%N) - since) / 1000000))
    wait "$program_pid"
    status=$?
    program_pid=""
    [ "$status" = 0 ] || fail "the program ended with status $status"
    echo "ok: the program ended $took ms after the close request"
}

# Asks the main window to close as a window manager's close button does,
# with the tool given ($1, SendCloseRequest), and expects the program to end
# within $2 tenths of a second, with status 0 and no window of it left.
close_and_expect_end() {
    local tool=$1 tenths=$2 status
    "$tool" "$window" || fail "the close request could not be sent"
    wait_for "$tenths" program_gone || fail "the program still runs $((tenths / 10)) s after the close request"
    wait "$program_pid"
    status=$?
    program_pid=""
    [ "$status" = 0 ] || fail "the program ended with status $status"
    [ -z "$(xdotool search --name 'Pellorin|Save' 2>/dev/null)" ] || fail "a window of the program is left"
}

# A Wayland session: Weston with its X11 backend in a window of the Xvfb
# display (start_xvfb with E2E_SCREEN=1500x1300x24, and prepare_settings for
# the private XDG_RUNTIME_DIR first), so that xdotool on that display is real
# pointer and keyboard input for Weston. Its output lies in the display's
# top-left corner, $weston_width x $weston_height device pixels (1280 x 1024;
# 1400 x 1200 at twice the density, where the window needs the room), with
# $1 device pixels to the pixel (1 or 2).
# Exports WAYLAND_DISPLAY and sets xwayland_display (XWayland under Weston);
# DISPLAY stays the Xvfb display. Skips where Weston cannot start.
start_weston() {
    local scale=${1:-1}
    require_tools weston wl-paste Xwayland
    weston_width=1280 weston_height=1024
    [ "$scale" = 1 ] || weston_width=1400 weston_height=1200
    cat >"$work/weston.ini" <<'INI'
[core]
idle-time=0
[shell]
locking=false
panel-position=none
background-color=0xff204060
INI
    weston --backend=x11-backend.so --use-pixman --socket=pellorin-wl --xwayland \
        --width=$((weston_width / scale)) --height=$((weston_height / scale)) --scale="$scale" \
        --idle-time=0 --config="$work/weston.ini" --debug >"$work/weston.log" 2>&1 &
    local weston_pid=$!
    extra_cleanup+=("kill $weston_pid 2>/dev/null; wait $weston_pid 2>/dev/null")
    weston_ready() { [ -S "$XDG_RUNTIME_DIR/pellorin-wl" ] && grep -q 'xserver listening on display' "$work/weston.log"; }
    if ! wait_for 100 weston_ready || ! kill -0 "$weston_pid" 2>/dev/null; then
        cat "$work/weston.log" >&2
        skip "Weston could not start"
    fi
    export WAYLAND_DISPLAY=pellorin-wl
    xwayland_display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" | head -n 1)
    # Weston follows the X pointer only from the moment it enters its window.
    xdotool mousemove 1490 1290 sleep 0.2 mousemove $((weston_width - 1)) $((weston_height - 1))
    sleep 0.2 # Weston takes the pointer's entry and tells no client when
}

# The outer edges of what Weston shows on its background, as "WIDTH HEIGHT
# LEFT TOP" in device pixels, from a picture of the Xvfb display. The pointer
# is parked in the bottom-right corner, outside the measure.
weston_windows_box() {
    local right=$((weston_width - 1)) bottom=$((weston_height - 1))
    xdotool mousemove "$right" "$bottom"
    sleep 0.3 # Weston redraws the pointer there and tells no client when
    import -window root "$work/weston-screen.png"
    convert "$work/weston-screen.png" -crop "${weston_width}x$weston_height+0+0" +repage \
        -fill '#204060' -draw "rectangle $((right - 40)),$((bottom - 40)) $right,$bottom" \
        -fuzz 2% -transparent '#204060' -trim info: |
        awk '{ split($3, size, "x"); split($4, at, "+"); print size[1], size[2], at[2], at[3] }'
}
