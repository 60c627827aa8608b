#!/bin/bash
# pellorin-cli as a container has it: its package unpacked alone and run with
# an empty LD_LIBRARY_PATH, and with Qt's and the office's libraries hidden
# from it in a mount namespace of its own. The window program, which does
# need them, must fail there, or nothing was hidden.
#
# Usage: cli-alone.sh ROOT WINDOW-PROGRAM
#   ROOT  pellorin-cli's package unpacked alone
# Exit status 77 (a skip) where no mount namespace can be had (not root).

set -u
readonly root=$1 window=$2
. "$(dirname "$0")/../e2e/lib.sh"
require_tools readelf unshare

cli=$root/usr/bin/pellorin-cli
readelf -d "$cli" | grep NEEDED >"$work/needed" || fail "readelf cannot read $cli"
grep -Ei 'qt|uno|x11|xcb' "$work/needed" && fail "pellorin-cli links the desktop's libraries"

# The numbers generate writes are exactly those check accepts, with their brand.
run() {
    "$@" generate --brand visa --count 5 --seed 21 >"$work/numbers" || return 1
    [ "$(wc -l <"$work/numbers")" = 5 ] || return 1
    "$@" check <"$work/numbers" >"$work/checked" 2>/dev/null || return 1
    [ "$(grep -c ' valid Visa$' "$work/checked")" = 5 ]
}
LD_LIBRARY_PATH= run "$cli" || fail "pellorin-cli does not run with an empty LD_LIBRARY_PATH"

[ "$(id -u)" = 0 ] || skip "hiding Qt's libraries takes root"
unshare -m --propagation private true 2>/dev/null || skip "no mount namespace of our own here"
# Qt's libraries share their folder with the C library, so each file is
# covered by an empty one; Qt's plugins and the office lose their folders.
cat >"$work/hide" <<'HIDE'
set -e
for library in /usr/lib/*/libQt6*.so* /usr/lib/*/libQt5*.so*; do
    [ -f "$library" ] && [ ! -L "$library" ] && mount --bind /dev/null "$library"
done
for folder in /usr/lib/*/qt6 /usr/lib/libreoffice; do
    [ -d "$folder" ] && mount -t tmpfs none "$folder"
done
exec "$@"
HIDE
hidden() { unshare -m --propagation private bash "$work/hide" "$@"; }
# The loader lists what the window links without starting it.
LD_TRACE_LOADED_OBJECTS=1 "$window" >/dev/null || fail "the window program's libraries cannot be loaded even here"
hidden env LD_TRACE_LOADED_OBJECTS=1 "$window" >/dev/null 2>&1 && fail "the window program still loads: Qt was not hidden"
run hidden env LD_LIBRARY_PATH= "$cli" || fail "pellorin-cli does not run without Qt's libraries"
echo "PASS: pellorin-cli alone runs with an empty LD_LIBRARY_PATH and without Qt; it links $(tr -s ' \n' ' ' <"$work/needed" | grep -o '\[[^]]*\]' | tr '\n' ' ')"
