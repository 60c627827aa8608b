#!/bin/bash
# Takes the README's picture of the window: the real program under Xvfb, with
# a fresh settings folder, after one press of "Start Generating".
#   docs/take-screenshot.sh [program] [picture] [scale]
# A scale of 2 shows the window as a screen of twice the density does
# (docs/window@2x.png). Needs Debian's xvfb, x11-utils, xdotool and imagemagick.
# The X server, settings and start are the end-to-end tests' (tests/e2e/lib.sh).
set -u
program=$(realpath "${1:-build/bin/pellorin}")
scale=${3:-1}
if [ "$scale" = 1 ]; then default_picture=docs/window.png; else default_picture=docs/window@${scale}x.png; fi
picture=${2:-$default_picture}

. "$(dirname "$0")/../tests/e2e/lib.sh"
require_tools xdotool import md5sum
E2E_SCREEN=$((1024 * scale))x$((768 * scale))x24 start_xvfb
prepare_settings
E2E_CLIENT_SIZE="$((536 * scale)) $((484 * scale))" \
    start_program env QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" "$program"

looks() { import -window "$window" rgb:- | md5sum; }
changed_from() { [ "$(looks)" != "$1" ]; }
# The same twice in a row: whatever was drawing has drawn.
still() {
    local first
    first=$(looks)
    sleep 0.1
    [ "$(looks)" = "$first" ]
}

wait_for 100 still || fail "the window does not stop changing"
before=$(looks)
# "Start Generating" lies at (8, 189) + (520, 27) in the window, times the scale.
xdotool mousemove --window "$window" $((260 * scale)) $((202 * scale)) click 1
wait_for 100 changed_from "$before" || fail "no rows after Start Generating"
# Over the list the button no longer shows the pointer's hover.
xdotool mousemove --window "$window" $((300 * scale)) $((300 * scale))
wait_for 100 still || fail "the window does not stop changing"
import -window "$window" "$picture"
echo "wrote $picture"
