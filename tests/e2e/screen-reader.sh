#!/bin/bash
# The real program as a screen reader hears it: a session bus and the
# accessibility bus of its own, the program with accessibility on, and an
# AT-SPI client (screen-reader.py) that reads the controls and the rows,
# presses "Start Generating" through its accessible action and hears what the
# list's keys do.
#
# Usage: screen-reader.sh PELLORIN
# Exit status 77 (a skip) only when no X server or no bus can be started here.

set -u
readonly program=$1
readonly here=$(dirname "$0")

if [ -z "${PELLORIN_SESSION_BUS:-}" ]; then
    command -v dbus-run-session >/dev/null || { echo "FAIL: dbus-run-session is missing (make deps installs dbus)" >&2; exit 1; }
    started=$(mktemp /tmp/pellorin-bus.XXXXXX)
    PELLORIN_SESSION_BUS=$started dbus-run-session -- bash "$0" "$@"
    status=$?
    # An empty marker: the script never ran, so the session bus did not start.
    [ -s "$started" ] || { rm -f "$started"; echo "SKIP: no session bus could be started" >&2; exit 77; }
    rm -f "$started"
    exit "$status"
fi
echo started >"$PELLORIN_SESSION_BUS"

. "$here/lib.sh"
require_tools xdotool xwininfo dbus-send
readonly client_python=/usr/bin/python3
[ -x /usr/libexec/at-spi-bus-launcher ] || fail "at-spi-bus-launcher is missing (make deps installs at-spi2-core)"
"$client_python" -c 'import pyatspi' 2>/dev/null || fail "pyatspi is missing (make deps installs python3-pyatspi)"

start_xvfb

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/at-spi.log" 2>&1 &
launcher_pid=$!
extra_cleanup+=('kill "$launcher_pid" 2>/dev/null')
bus_address() {
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress
}
if ! wait_for 100 bus_address; then
    cat "$work/at-spi.log" >&2
    skip "the accessibility bus could not be started"
fi

prepare_settings Text1=3
start_program env QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program"
"$client_python" "$here/screen-reader.py" "$program_pid" "$window" || {
    cat "$work/program.log" >&2
    fail "the screen reader's view of the window is not as it should be"
}
echo "PASS: every control and the rows heard through AT-SPI"
