#!/bin/sh
# Takes the README's picture of the window: the real program under Xvfb, with
# a fresh settings folder, after one press of "Start Generating".
#   docs/take-screenshot.sh [program] [picture] [scale]
# A scale of 2 shows the window as a screen of twice the density does
# (docs/window@2x.png). Needs Debian's xvfb, x11-utils, xdotool and imagemagick.
set -eu
program=${1:-build/bin/pellorin}
scale=${3:-1}
if [ "$scale" = 1 ]; then default_picture=docs/window.png; else default_picture=docs/window@${scale}x.png; fi
picture=${2:-$default_picture}
display=:57

scratch=$(mktemp -d)
mkdir -p "$scratch/config" "$scratch/runtime"
chmod 700 "$scratch/runtime"

Xvfb $display -screen 0 $((1024 * scale))x$((768 * scale))x24 -dpi 96 -nolisten tcp &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$scratch"' EXIT
for _ in $(seq 50); do xdpyinfo -display $display >/dev/null 2>&1 && break; sleep 0.1; done

DISPLAY=$display HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime \
  QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale "$program" &
app=$!
window=""
for _ in $(seq 50); do
  window=$(DISPLAY=$display xdotool search --name '^Pellorin$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
sleep 0.5
# "Start Generating" lies at (8, 189) + (520, 27) in the window, times the scale.
DISPLAY=$display xdotool mousemove --window "$window" $((260 * scale)) $((202 * scale)) click 1
sleep 0.5
# Move over the list so the pointer is the ordinary one, then away.
DISPLAY=$display xdotool mousemove --window "$window" $((300 * scale)) $((300 * scale))
sleep 0.3
DISPLAY=$display import -window "$window" "$picture"
kill $app
echo "wrote $picture"
