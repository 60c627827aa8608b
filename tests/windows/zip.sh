#!/bin/bash
# The Windows zip as a user unpacks it: tools/windows-zip gives the same
# bytes twice (another time zone and umask), and every example of its
# README.txt and of the program's help runs in Windows' cmd (Wine's) from
# the unpacked folder, as written there, with status 0 (the help's hundred
# million numbers excepted, for time).
# Usage: zip.sh WINE-PREFIX EXE
set -u
. "$(dirname "$0")/../e2e/lib.sh"
readonly prefix=$1 exe=$2 wine64=/usr/lib/wine/wine64
readonly tool=$(dirname "$0")/../../tools/windows-zip
[ -x "$wine64" ] || skip "$wine64 is missing (Debian package wine64)"
[ -f "$exe" ] || skip "$exe is missing: make windows builds it"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8

mkdir "$work/one" "$work/two" "$work/unpacked"
zip=$("$tool" "$exe" "$work/one") || fail "tools/windows-zip failed"
(umask 002 && TZ=Pacific/Kiritimati "$tool" "$exe" "$work/two" >/dev/null) || fail "the second zip failed"
cmp "$zip" "$work/two/$(basename "$zip")" || fail "two zips of one executable differ"
python3 -m zipfile -e "$zip" "$work/unpacked" || fail "cannot unpack $zip"
cd "$work/unpacked"/*/ || fail "no folder in $zip"

readme=$(tr -d '\r' <README.txt)
help=$("$wine64" pellorin-cli.exe --help) || fail "pellorin-cli.exe --help failed"
examples=$( (sed -n 's/^    \([.e].*\)/\1/p' <<<"$readme"; sed -n '/^Examples/,$s/^  //p' <<<"$help") |
    grep -v -- '-n 100000000 ')
[ "$(grep -c . <<<"$examples")" -ge 10 ] || fail "too few examples found: $examples"
while IFS= read -r example; do
    out=$("$wine64" cmd /c "$example" 2>&1) || fail "in cmd, '$example' failed: $out"
    [ -n "$out" ] || [[ $example == *--output* ]] || fail "in cmd, '$example' wrote nothing"
done <<<"$examples"
echo "PASS: $(basename "$zip") twice the same; $(grep -c . <<<"$examples") examples run in cmd"
