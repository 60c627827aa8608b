#!/bin/bash
# pellorin-cli.exe started as a double-click starts it: in a console window
# of its own (tests/windows/StartAlone.cpp makes one, as File Explorer does).
# With nothing to do it says that it is a command-line program and how to
# open a terminal, and waits for Enter instead of closing at once; started
# from cmd, or with a command, it waits for nothing. Wine's console windows
# need a display: an Xvfb of the test's own.
# Usage: started-alone.sh WINE-PREFIX EXE START-ALONE-EXE
set -u
. "$(dirname "$0")/../e2e/lib.sh"
readonly prefix=$1 exe=$2 helper=$3 wine64=/usr/lib/wine/wine64
[ -x "$wine64" ] || skip "$wine64 is missing (Debian package wine64)"
[ -f "$exe" ] || skip "$exe is missing: make windows builds it"
start_xvfb
# Wine shows a session's windows on the display its first programs found, so
# this test runs a session of its own, in a copy of the tests' prefix (linked,
# not copied: Wine replaces the files it changes).
cp -al "$prefix" "$work/prefix" || fail "cannot link a copy of $prefix"
rm -f "$work/prefix/wineserver"
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
extra_cleanup+=('/usr/lib/wine/wineserver -k 2>/dev/null')
windows_exe="Z:${exe//\//\\}"

started() { "$wine64" "$helper" "$1" </dev/null 2>&1 | tr -d '\r'; }

said=$(started "\"$windows_exe\"")
[ "$(head -n 1 <<<"$said")" = waiting ] || fail "a double-click did not wait for Enter: $said"
for words in "is a command-line program" "Open in Terminal" '.\pellorin-cli.exe --help' \
    "Press Enter to close this window."; do
    grep -qF -- "$words" <<<"$said" || fail "a double-click does not say '$words': $said"
done
[ "$(tail -n 1 <<<"$said")" = "status 0" ] || fail "Enter did not end it with 0: $said"

for case in "cmd /c \"$windows_exe\":2" "\"$windows_exe\" --version:0"; do
    said=$(started "${case%:*}")
    [ "$said" = "$(printf 'ended\nstatus %s' "${case##*:}")" ] ||
        fail "${case%:*} in a console of its own did not end by itself with ${case##*:}: $said"
done
echo "PASS: a double-click explains and waits for Enter; cmd and a command do not wait"
