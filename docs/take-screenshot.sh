#!/bin/sh
# Takes the README's picture of the window: the real program under Xvfb, with
# a fresh settings folder, after one press of "Start Generating".
#   docs/take-screenshot.sh [program] [picture]
# Needs Debian's xvfb, x11-utils, xdotool and imagemagick.
set -eu
program=${1:-build/bin/pellorin}
picture=${2:-docs/window.png}
display=:57

scratch=$(mktemp -d)
mkdir -p "$scratch/config" "$scratch/runtime"
chmod 700 "$scratch/runtime"

Xvfb $display -screen 0 1024x768x24 -dpi 96 -nolisten tcp &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 50); do xdpyinfo -display $display >/dev/null 2>&1 && break; sleep 0.1; done

DISPLAY=$display HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime \
  QT_QPA_PLATFORM=xcb "$program" &
app=$!
window=""
for _ in $(seq 50); do
  window=$(DISPLAY=$display xdotool search --name '^Pellorin$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
sleep 0.5
# "Start Generating" lies at (8, 189) + (520, 27) in the window.
DISPLAY=$display xdotool mousemove --window "$window" 260 202 click 1
sleep 0.5
# Move over the list so the pointer is the ordinary one, then away.
DISPLAY=$display xdotool mousemove --window "$window" 300 300
sleep 0.3
DISPLAY=$display import -window "$window" "$picture"
kill $app
echo "wrote $picture"
