#!/bin/bash
# What a screen reader user hears: the real Orca, with speech going through
# speech-dispatcher and espeak-ng into a file, reads the program while the
# keyboard alone drives it. Each step waits (bounded) for Orca's own
# "SPEECH OUTPUT" line: the empty list at start-up, Enter on "Start
# Generating" and the row count said after the run, with no word of the
# progress bar going back to 0 before it, the list entered and End pressed at
# 10,000 rows, Space on a row and an unticked row read, the count
# said after "Clear Results", the quantity box entered with its whole text
# said selected, then a run of 1,000,000 rows, the list entered and End
# pressed.
# (Orca keeps the keypad's Enter for itself, "where am I"; the program's
# answer to that key is heard in screen-reader.sh, without Orca.)
#
# Usage: orca-speech.sh PELLORIN
# Exit status 77 (a skip) only when no X server, no bus or no Orca can be
# started here.

set -u
readonly program=$1
readonly here=$(dirname "$0")

. "$here/lib.sh"
on_own_session_bus "$@"
require_tools xdotool xprop openbox speech-dispatcher espeak-ng
[ -x /usr/bin/orca ] || fail "orca is missing (make deps installs it)"

start_xvfb
start_accessibility_bus
openbox --sm-disable >"$work/openbox.log" 2>&1 &
extra_cleanup+=("kill $! 2>/dev/null")
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
wait_for 100 wm_running || { cat "$work/openbox.log" >&2; fail "openbox did not start"; }

prepare_settings Text1=10000 Option1=True
export XDG_DATA_HOME=$work/data
mkdir -p "$XDG_DATA_HOME"
# Real synthesis without a sound card: the speech goes into a file.
printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' \
    "$work/speech.raw" >"$HOME/.asoundrc"

start_program env QT_QPA_PLATFORM=xcb "$program"

readonly orca_log=$work/orca-debug.log
/usr/bin/python3 "$here/orca-line-buffered.py" "$orca_log" >"$work/orca.out" 2>&1 &
orca_pid=$!
# Orca's speech-dispatcher runs on by itself; its pid file names it.
# Orca can hang in its own shutdown on SIGTERM.
extra_cleanup+=("kill -KILL $orca_pid 2>/dev/null; wait $orca_pid 2>/dev/null"
    'kill $(cat "$XDG_RUNTIME_DIR"/speech-dispatcher/pid/speech-dispatcher.pid 2>/dev/null) 2>/dev/null')

# What Orca said, one utterance a line, without its log's decoration.
heard() {
    grep -a "SPEECH OUTPUT: '" "$orca_log" 2>/dev/null \
        | sed -E "s/^.*SPEECH OUTPUT: '(.*)' ?\{.*$/\1/"
}
# Utterances before this line number are already accounted for.
mark=0
said_since_mark() { heard | tail -n +$((mark + 1)) | grep -n -m 1 -E -- "$1"; }

# Waits up to $2 seconds for an utterance matching the extended regular
# expression $1 after the mark, moves the mark past it and prints the time
# it took since the last key.
expect_speech() {
    local pattern=$1 seconds=$2 found
    if ! wait_for $((seconds * 10)) said_since_mark "$pattern"; then
        echo "Orca said since the last step:" >&2
        heard | tail -n +$((mark + 1)) | sed 's/^/  /' >&2
        fail "Orca did not say /$pattern/ within $seconds s"
    fi
    found=$(said_since_mark "$pattern")
    mark=$((mark + ${found%%:*}))
    echo "  heard after $(( ($(date +%s%N) - key_time) / 1000000 )) ms: ${found#*:}"
}

# Fails when an utterance matching $1 came between the last key and the one
# expect_speech found last. That one comes last, so an absence needs no wait.
expect_no_speech_before() {
    local between
    between=$(heard | sed -n "$((key_mark + 1)),$((mark - 1))p")
    if grep -q -E -- "$1" <<<"$between"; then
        echo "Orca said between the last key and the expected line:" >&2
        sed 's/^/  /' <<<"$between" >&2
        fail "Orca said /$1/"
    fi
}

key_time=$(date +%s%N)
key_mark=0
press() {
    mark=$(heard | wc -l)
    key_mark=$mark
    key_time=$(date +%s%N)
    xdotool key "$@"
}

# Orca greets with "Screen reader on." once it reads the desktop.
orca_up() { heard | grep -q "Screen reader on"; }
if ! wait_for 300 orca_up; then
    tail -n 20 "$work/orca.out" "$orca_log" >&2 2>/dev/null
    skip "Orca did not start here"
fi
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"

readonly row='^[0-9]{16} check box'
echo "start-up: the focus on the empty list"
expect_speech '^table with 0 rows 1 column' 30

echo "Tab: 'Start Generating'"
press Tab
expect_speech '^Start Generating push button' 20
echo "Enter: the run, then the rows counted"
press Return
expect_speech '^notification 10000 results in the list' 60
expect_no_speech_before 'percent'

echo "Shift+Tab into the list of 10,000 rows"
press shift+Tab
expect_speech '^table with 10000 rows 1 column' 20
expect_speech "$row checked" 20
echo "End"
press End
expect_speech "$row checked" 20
echo "Space unticks; Up, and Down reads the unticked row; Space ticks"
press space
expect_speech '^not checked$' 20
press Up
expect_speech "$row checked" 20
press Down
expect_speech "$row not checked" 20
press space
expect_speech '^checked$' 20

echo "Tab to 'Clear Results', Enter"
press Tab Tab Tab Tab
expect_speech '^Clear Results push button' 20
press Return
expect_speech '^notification No results in the list' 20

echo "Tab to the quantity, 1000000, back to 'Start Generating', Enter"
press Tab Tab
expect_speech 'How many credit cards would you like to generate' 20
expect_speech '^10000 selected' 20
press ctrl+a 1 0 0 0 0 0 0
press shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab
expect_speech '^Start Generating push button' 20
press Return
expect_speech '^notification 1000000 results in the list' 240
expect_no_speech_before 'percent'

echo "Shift+Tab into the list of 1,000,000 rows"
press shift+Tab
expect_speech '^table with 1000000 rows 1 column' 20
expect_speech "$row checked" 20
echo "End"
press End
expect_speech "$row checked" 20

echo "PASS: Orca spoke the list at 10,000 and 1,000,000 rows, the ticks, the selected quantity, Enter and the counts"
