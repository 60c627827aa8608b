#!/bin/bash
# The command line's tests against pellorin-cli.exe under Wine.
#   wine-test.sh PREFIX EXE --start        make or update Wine's prefix and
#                                         start its server for the test run
#   wine-test.sh PREFIX EXE --stop         end that server
#   wine-test.sh PREFIX EXE TEST [ARG...]  run a test executable with the
#                                         program under test pointing at EXE
# Wine's first start in a new prefix takes seconds, and so does each start
# of its server and system programs (services.exe, explorer.exe ...). The
# prefix lives in the build folder, and --start starts the server and those
# programs once for all tests, and for as long as they run: started by a
# test's program instead, they would hold its output pipes open until they
# end, seconds after it.
# Exits 77, skipped, with the reason where Wine cannot run the program.
set -u
prefix=$1
exe=$2
shift 2
wine64=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver

skip() {
  echo "skipped: $*" >&2
  exit 77
}

export WINEPREFIX=$prefix WINEDEBUG=-all
# No .NET or browser engine to offer to install in a new prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine converts arguments and file names between UTF-16 and the locale's
# character set: UTF-8, as the tests write them.
export LC_ALL=C.UTF-8
export PELLORIN_WINE64=$wine64 PELLORIN_WINDOWS_CLI=$exe

case ${1:-} in
--stop)
  [ -x "$wineserver" ] && "$wineserver" -k 2>/dev/null
  exit 0
  ;;
esac

[ -x "$wine64" ] || skip "$wine64 is missing (Debian package wine64)"
[ -f "$exe" ] || skip "$exe is missing: make windows builds it"
if [ "${1:-}" = --start ]; then
  mkdir -p "$prefix" || exit 1
  "$wineserver" -k 2>/dev/null
  "$wineserver" -p </dev/null >/dev/null 2>&1
  "$wine64" "$exe" --version </dev/null >"$prefix/started" 2>&1 ||
    skip "wine64 cannot start $exe: $(cat "$prefix/started")"
  exit 0
fi
version=$("$wine64" "$exe" --version 2>&1) || skip "wine64 cannot start $exe: $version"
# A filter that selects nothing would pass without testing anything.
if ! "$@" --gtest_list_tests | grep -q '^  '; then
  echo "no test of $* to run" >&2
  exit 1
fi
PELLORIN_CLI_UNDER_TEST=$(dirname "$(readlink -f "$0")")/wine-cli exec "$@"
