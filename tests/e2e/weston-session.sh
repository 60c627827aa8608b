#!/bin/bash
# The real program in a Wayland session: Weston, its X11 backend in an Xvfb
# display, so that xdotool there is real Wayland pointer and keyboard input.
#
#   native          Qt's Wayland plugin, chosen as in a Wayland session
#   xwayland        Qt's X11 plugin under Weston's XWayland
#   twice-density   Weston at scale 2: the hand pointer, both ways
#   close-during-run  natively, the close button during a generation run
#   without-plugin  Qt's Wayland plugin hidden (a private mount namespace,
#                   root only): the program starts under XWayland, quietly
#
# native and xwayland: start-up with nothing on standard error, the fixed
# size and the application's id, every control over AT-SPI, the copied rows
# as `wl-paste` reads them, the hand pointer at its size and only over the
# buttons, and closing through Weston's title bar (natively the one Qt draws)
# while each kind of box or dialog is open, which must end the program within
# 2 s with status 0. Each box and dialog is a child of the window.
#
# Usage: weston-session.sh MODE PELLORIN CURRENT-CURSOR
# Exit status 77 (a skip) only where Xvfb, a session bus or Weston cannot
# start, or for without-plugin when not root.

set -u
readonly mode=$1 program=$2 current_cursor=$3
readonly here=$(dirname "$0")

. "$here/lib.sh"
on_own_session_bus "$@"
require_tools xdotool xwininfo xprop import convert unshare
if [ "$mode" = without-plugin ] && [ "$(id -u)" != 0 ]; then
    skip "hiding Qt's Wayland plugin needs a private mount namespace (root)"
fi

scale=1
[ "$mode" = twice-density ] && scale=2
E2E_SCREEN=1500x1300x24 start_xvfb
prepare_settings
start_weston "$scale"
start_accessibility_bus
readonly xvfb_display=$DISPLAY
# As a desktop session tells its programs; the platform is Qt's choice.
export XDG_SESSION_TYPE=wayland
unset QT_QPA_PLATFORM

on_xwayland() { DISPLAY=$xwayland_display "$@"; }

# Where an X window of the program lies on XWayland's screen: "X Y".
x_place() {
    on_xwayland xwininfo -id "$1" | sed -n 's/^ *Absolute upper-left [XY]: *//p' | tr '\n' ' '
}
# Weston frames a window it maps and places it, and tells its client only by
# moving it: placed once it is in Weston's frame and reads at the same place
# twice in a row.
placed() {
    local now
    on_xwayland xwininfo -tree -id "$1" | grep -q '^ *Parent window id: .*(the root window)' && return 1
    now=$(x_place "$1")
    [ -n "$now" ] && [ "$now" = "$last_place" ] && return 0
    last_place=$now
    return 1
}
wait_placed() {
    last_place=""
    wait_for 100 placed "$@"
}

# Starts the program as the given mode runs it ($1: native or xwayland) with
# the settings after it, and sets `origin` to its client area's top-left
# corner on Weston's output, in device pixels.
start_in() {
    how=$1
    shift
    prepare_settings "$@"
    if [ "$how" = native ]; then
        # The protocol log on standard error shows what is asked of Weston;
        # any other line there is a message of the program or of Qt.
        WAYLAND_DEBUG=client "$program" >"$work/program.log" 2>&1 &
        program_pid=$!
        native_window_box() {
            program_gone && return 1
            read -r frame_w frame_h frame_x frame_y <<<"$(weston_windows_box)"
            [ "$frame_w $frame_h" = "$((542 * scale)) $((517 * scale))" ]
        }
        wait_for 150 native_window_box || {
            cat "$work/program.log" >&2
            fail "native: no window of 542 x 517 with Qt's frame on Weston's output"
        }
        # Qt's frame: 3 pixels at the sides and the bottom, a title bar of 30.
        origin=($((frame_x + 3 * scale)) $((frame_y + 30 * scale)))
        close_button=($((frame_x + frame_w - 17 * scale)) $((frame_y + 15 * scale)))
    else
        E2E_CLIENT_SIZE="536 484" on_xwayland start_program env QT_QPA_PLATFORM=xcb "$program"
        local x y
        wait_placed "$window" || fail "xwayland: Weston did not place the window"
        read -r x y <<<"$(x_place "$window")"
        origin=($((x * scale)) $((y * scale)))
        # Weston's frame around an X window: the close button at the right
        # end of its title bar.
        close_button=($(((x + 536 - 14) * scale)) $(((y - 14) * scale)))
    fi
}

# Points at, or clicks, the middle of a control given in twips, as lib.sh's
# point_at does, on Weston's output.
pointer_to() { # x y, in pixels of the window
    xdotool mousemove $((origin[0] + $1 * scale)) $((origin[1] + $2 * scale))
}
point_into() { pointer_to $((($1 + $3 / 2) / 15)) $((($2 + $4 / 2) / 15)); }
click_into() { point_into "$@" && xdotool click 1; }

# Windows the program asked Weston to keep over its main window: natively,
# each toplevel it gives a parent; under XWayland, each X window of it whose
# WM_TRANSIENT_FOR names another of its windows.
children_count() {
    if [ "$how" = native ]; then
        grep -c 'xdg_toplevel@[0-9]*\.set_parent(xdg_toplevel' "$work/program.log"
    else
        local id count=0
        for id in $(on_xwayland xdotool search --onlyvisible --pid "$program_pid" --name . 2>/dev/null); do
            [ "$id" = "$window" ] && continue
            on_xwayland xprop -id "$id" WM_TRANSIENT_FOR | grep -q 'window id' && count=$((count + 1))
        done
        echo "$count"
    fi
}
children_open() { [ "$(children_count)" -ge "$1" ]; }

# Natively, as the protocol log shows: Weston has given the keyboard to the
# window opened last, shown a frame since, and shown every frame asked of it
# from its opening on.
drawn_with_child() {
    awk '/set_parent\(xdg_toplevel/ { entered = 0; shown = 0; split("", waiting) }
        /wl_keyboard@[0-9]+\.enter\(/ { entered = 1 }
        /\.frame\(new id wl_callback@/ {
            id = $0; sub(/.*wl_callback@/, "", id); sub(/\).*/, "", id); waiting[id] = 1
        }
        /wl_callback@[0-9]+\.done\(/ {
            id = $0; sub(/.*wl_callback@/, "", id); sub(/\..*/, "", id)
            if (id in waiting) { delete waiting[id]; shown = entered }
        }
        END { for (id in waiting) exit 1; exit !shown }' "$work/program.log"
}

# Lines on standard error that are not the protocol log.
program_messages() { grep -v '^\[ *[0-9.]*\] ' "$work/program.log"; }

# Moves the pointer to device pixel $1 $2 and takes a picture, $5.ppm, of
# the 160 x 160 pixels around $3 $4 once Weston has drawn what the move
# changes there: it tells no client when, so the picture must differ from
# the one before the move and come out the same twice in a row.
move_and_picture() {
    local spot=160x160+$(($3 - 60))+$(($4 - 20)) name=$5
    import -window root -crop "$spot" "$work/before.ppm"
    xdotool mousemove "$1" "$2"
    rm -f "$work/$name.ppm" "$work/earlier.ppm"
    spot_redrawn() {
        [ -f "$work/$name.ppm" ] && mv "$work/$name.ppm" "$work/earlier.ppm"
        import -window root -crop "$spot" "$work/$name.ppm" &&
            ! cmp -s "$work/$name.ppm" "$work/before.ppm" && cmp -s "$work/$name.ppm" "$work/earlier.ppm"
    }
    wait_for 100 spot_redrawn
}

# The size of the pointer image Weston shows at device pixel x y, over a
# control that keeps its look when the pointer moves 200 pixels to the right
# on it: what differs between the two pictures near x y is the pointer.
pointer_size_at() {
    move_and_picture "$1" "$2" "$1" "$2" pointer-here &&
        move_and_picture $(($1 + 200)) "$2" "$1" "$2" pointer-away &&
        convert "$work/pointer-here.ppm" "$work/pointer-away.ppm" \
            -compose difference -composite -threshold 10% -trim info: |
        awk '{ split($3, size, "x"); print size[1], size[2] }'
}

# The hand's outline in HAND-M.CUR is 26 x 31 pixels in the image for
# ordinary screens and 51 x 60 in the one for twice the density; XWayland
# programs are enlarged by Weston, so theirs is twice 26 x 31. The program
# sets the pointer's image after Weston has drawn its own there: a picture
# can catch that one, so a measure is tried three times.
check_hand_size() {
    local expected=$1 seen w h ew eh tries
    read -r ew eh <<<"$expected"
    for tries in 1 2 3; do
        seen=$(pointer_size_at $((origin[0] + 60 * scale)) $((origin[1] + 202 * scale)))
        read -r w h <<<"$seen"
        ((w >= ew - 3 && w <= ew + 3 && h >= eh - 3 && h <= eh + 3)) && break
    done
    ((w >= ew - 3 && w <= ew + 3 && h >= eh - 3 && h <= eh + 3)) ||
        fail "$how at scale $scale: the hand over Start Generating measures $seen, not about $expected"
    echo "ok: $how at scale $scale: the hand measures $seen"
}

end_program() {
    kill "$program_pid" 2>/dev/null
    wait "$program_pid" 2>/dev/null
    program_pid=""
}

# Under XWayland: whether no other window of the program, with room for
# Weston's frame around it, lies over the main window's close button.
close_button_clear() {
    local id x y w h
    for id in $(on_xwayland xdotool search --onlyvisible --pid "$program_pid" --name . 2>/dev/null); do
        [ "$id" = "$window" ] && continue
        read -r x y w h <<<"$(on_xwayland xwininfo -id "$id" |
            sed -n 's/^ *\(Absolute upper-left [XY]\|Width\|Height\): *//p' | tr '\n' ' ')"
        ((close_button[0] >= x - 10 && close_button[0] < x + w + 10 &&
            close_button[1] >= y - 40 && close_button[1] < y + h + 10)) && return 1
    done
    return 0
}

# Under XWayland, Weston puts a dialog where Qt asks, centred over the
# window; the save dialog is the wider and hides the window's close button.
# A user drags it down out of the way by its title bar, and the question
# over it too.
drag_children_down() {
    local id x y
    for id in $(on_xwayland xdotool search --onlyvisible --pid "$program_pid" --name . 2>/dev/null | tac); do
        [ "$id" = "$window" ] && continue
        on_xwayland xprop -id "$id" WM_TRANSIENT_FOR | grep -q 'window id' || continue
        wait_placed "$id" || fail "$how: $name: Weston did not place a dialog"
        read -r x y <<<"$(x_place "$id")"
        # The pauses are a hand's: Weston's window manager takes the press
        # on its title bar over X and starts the move without telling a client.
        xdotool mousemove $((x + 60)) $((y - 12)) mousedown 1 sleep 0.1 \
            mousemove $((x + 60)) $((y + 100)) sleep 0.1 mousemove $((x + 60)) $((y + 450)) \
            sleep 0.1 mouseup 1
    done
    wait_for 100 close_button_clear || fail "$how: $name: a dialog still lies over the close button"
}

# Natively Weston places the dialogs itself, and the save dialog can hide
# the window's close button. A user moves it aside: here with Weston's
# Super+drag from that spot, which moves whatever lies on top there, until
# the spot shows the close button as it looks beside the first message box.
close_button_look() {
    import -window root -crop 16x16+$((close_button[0] - 8))+$((close_button[1] - 8)) "$work/$1.png"
}
close_button_shown() {
    close_button_look now
    [ "$(compare -metric AE "$work/close-button.png" "$work/now.png" null: 2>&1)" -lt 12 ]
}
move_aside_what_hides_the_close_button() {
    local tries
    close_button_shown && return 0
    for tries in 1 2 3; do
        # The pauses are a hand's; Weston's pictures show when the move is done.
        xdotool mousemove "${close_button[@]}" keydown Super_L mousedown 1 sleep 0.1 \
            mousemove_relative 0 100 sleep 0.1 mousemove_relative 0 350 sleep 0.1 mouseup 1 keyup Super_L
        wait_for 50 close_button_shown && return 0
    done
}

# Closes through the title bar while $name is open and expects the end.
close_and_expect_end_in_2s() {
    if [ "$how" = xwayland ]; then
        drag_children_down
    elif [ "$name" = "copied message" ]; then
        close_button_look close-button
    else
        move_aside_what_hides_the_close_button
    fi
    xdotool mousemove "${close_button[@]}" click 1
    wait_for 20 program_gone || fail "$how: $name: the program still runs 2 s after the close button"
    wait "$program_pid"
    local status=$?
    program_pid=""
    [ "$status" = 0 ] || fail "$how: $name: the program ended with status $status"
    echo "ok: $how: closed with the $name open"
}

session_checks() {
    start_in "$1" Text1=2000

    # Start-up: fixed size, its id, every control to a screen reader, quiet.
    if [ "$how" = native ]; then
        grep -q 'xdg_toplevel@[0-9]*\.set_min_size(536, 484)' "$work/program.log" &&
            grep -q 'xdg_toplevel@[0-9]*\.set_max_size(536, 484)' "$work/program.log" ||
            fail "native: the window did not ask for a fixed 536 x 484"
        grep -q 'set_app_id("org.quillmere.Pellorin")' "$work/program.log" ||
            fail "native: no application id org.quillmere.Pellorin"
    else
        on_xwayland xprop -id "$window" WM_NORMAL_HINTS >"$work/hints"
        grep -q 'minimum size: 536 by 484' "$work/hints" && grep -q 'maximum size: 536 by 484' "$work/hints" ||
            fail "xwayland: the window's size hints are not a fixed 536 x 484: $(cat "$work/hints")"
        on_xwayland xprop -id "$window" WM_CLASS | grep -q '"pellorin", "pellorin"' ||
            fail "xwayland: WM_CLASS is $(on_xwayland xprop -id "$window" WM_CLASS)"
    fi
    echo "ok: $how: fixed 536 x 484, its id"
    # Keys go to the window that has the keyboard: Weston gives it the new one.
    /usr/bin/python3 "$here/screen-reader.py" "$program_pid" - >"$work/reader.log" ||
        { cat "$work/reader.log"; fail "$how: the screen reader's view is not as it should be"; }
    echo "ok: $how: every control, the rows and the keys through AT-SPI"
    # The program has started, run and answered the screen reader by now.
    [ -z "$(program_messages)" ] || fail "$how: the program printed: $(program_messages)"
    echo "ok: $how: nothing printed"
    end_program
    start_in "$how" Text1=3 Option1=True

    # The hand over the buttons, by the pointer's place in the window: one
    # pixel inside Start Generating's top edge (189) it is there, one pixel
    # above it is not. Under XWayland Weston moved the frame after mapping.
    if [ "$how" = xwayland ]; then
        # The image changes once the program has handled the move; the
        # points take turns with and without the hand, so each wait ends on
        # a change it made.
        cursor_over() {
            pointer_to 100 "$1"
            DISPLAY=$xwayland_display "$current_cursor"
        }
        hand_over() { [ "$(cursor_over "$1")" = "32 32 11 1" ]; }
        no_hand_over() {
            local seen
            seen=$(cursor_over "$1") && [ -n "$seen" ] && [ "$seen" != "32 32 11 1" ]
        }
        wait_for 30 no_hand_over 187 || fail "xwayland: a hand above Start Generating"
        wait_for 30 hand_over 190 || fail "xwayland: no hand just inside Start Generating's top edge"
        wait_for 30 no_hand_over 187 || fail "xwayland: a hand above Start Generating"
        wait_for 30 hand_over 214 || fail "xwayland: no hand just inside Start Generating's bottom edge"
        wait_for 30 no_hand_over 217 || fail "xwayland: a hand below Start Generating"
        echo "ok: xwayland: the hand exactly over Start Generating"
    fi
    check_hand_size "26 31"
    end_program

    # Each kind of box and dialog, as many windows over the main window.
    touch "$work/old.txt"
    local rows
    while IFS='|' read -r name stored clicks _ count; do
        start_in "$how" "Text1=$stored" Option1=True
        for control in $clicks; do
            click_into ${!control}
        done
        if [ "$name" = "copied message" ]; then
            # The copy, read by a Wayland client, while its message is open.
            wait_for 100 children_open 1 || fail "$how: no message box as a child of the window"
            rows=$(/usr/bin/python3 "$here/screen-reader.py" "$program_pid" --rows)
            [ "$(printf '%s\n' "$rows" | wc -l)" = 3 ] || fail "$how: the list holds: $rows"
            [ "$(timeout 5 wl-paste -n | od -An -c)" = "$(printf '%s\r\n' $rows | od -An -c)" ] ||
                fail "$how: wl-paste read $(timeout 5 wl-paste -n | od -An -c | head -3)"
            echo "ok: $how: wl-paste reads the rows"
        fi
        if [ "$name" = "replace question" ]; then
            wait_for 100 children_open 1 || fail "$how: no save dialog"
            # Until its name field has the keyboard, typed keys are lost.
            name_field_has_keys() { window_texts Save --focused | grep -qx text; }
            wait_for 100 name_field_has_keys || fail "$how: the save dialog's name field lacks the keyboard"
            xdotool type --delay 20 "$work/old.txt"
            xdotool key Return
        fi
        wait_for 100 children_open "$count" || fail "$how: $name: not open as a child of the window"
        # The close button is found in Weston's picture: natively, what
        # opened must be drawn first (under XWayland the dialogs' places tell).
        if [ "$how" = native ]; then
            wait_for 100 drawn_with_child || fail "native: $name: Weston drew nothing with it open"
        fi
        close_and_expect_end_in_2s
    done < <(close_cases)
}

case $mode in
native | xwayland)
    session_checks "$mode"
    ;;
twice-density)
    start_in native Text1=3 Option1=True
    check_hand_size "51 60"
    end_program
    start_in xwayland Text1=3 Option1=True
    check_hand_size "52 62"
    ;;
close-during-run)
    # Natively, closing through the frame Qt draws while a run of the
    # largest quantity holds the window.
    start_in native Text1=2147483647 Option1=True
    click_into $button_start
    wait_for_run
    xdotool mousemove "${close_button[@]}" click 1
    expect_end_within 2
    ;;
without-plugin)
    # A copy of Qt's platform plugins without the Wayland ones, mounted
    # over them for the program alone.
    plugins=$(dirname "$(ls /usr/lib/*/qt6/plugins/platforms/libqxcb.so | head -n 1)")
    mkdir "$work/platforms"
    cp "$plugins"/*.so "$work/platforms/" && rm -f "$work/platforms"/libqwayland*
    prepare_settings Text1=3 Option1=True
    E2E_CLIENT_SIZE="536 484" on_xwayland start_program \
        unshare -m --propagation private sh -c 'mount --bind "$1" "$2" && exec "$3"' - \
        "$work/platforms" "$plugins" "$program"
    # Its window answers a screen reader from the event loop: start-up and
    # the first drawing are behind it, and whatever they print with it.
    wait_for 100 window_texts Pellorin || fail "without the plugin the window does not answer over AT-SPI"
    [ -s "$work/program.log" ] && fail "without the plugin the start printed: $(cat "$work/program.log")"
    echo "ok: without Qt's Wayland plugin: the window under XWayland, nothing printed"
    ;;
*)
    fail "unknown mode $mode"
    ;;
esac
echo "PASS: $mode"
