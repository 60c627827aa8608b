#!/bin/bash
# pellorin-cli configured, built and tested with Qt out of reach: any
# find_package(Qt6) on its way fails the configuration. Only the command line
# and the tests of its bytes are built: the ordinary build runs every test on
# the same sources, so a second run of them all would prove nothing new.
#
# Usage: build-without-qt.sh SOURCE-DIR BUILD-DIR

set -u
readonly source=$1 build=$2
. "$(dirname "$0")/../e2e/lib.sh"
require_tools cmake ctest readelf

rm -rf "$build"
# The Windows program's tests under Wine, and the page, which is the same
# WebAssembly with Qt or without, run once, in the ordinary build.
cmake -S "$source" -B "$build" --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release -DPELLORIN_BUILD_GUI=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON -DPELLORIN_WINDOWS_CLI= -DPELLORIN_BUILD_WEB=OFF >"$work/configure.log" 2>&1 \
    || { cat "$work/configure.log"; fail "pellorin-cli cannot be configured without Qt"; }
cmake --build "$build" -j "$(nproc)" --target pellorin-cli test_cli_golden test_cli_check >"$work/build.log" 2>&1 \
    || { tail -n 50 "$work/build.log"; fail "pellorin-cli cannot be built without Qt"; }
[ -x "$build/bin/pellorin-cli" ] || fail "no pellorin-cli was built"
[ ! -e "$build/bin/pellorin" ] || fail "the window was built without Qt"
readelf -d "$build/bin/pellorin-cli" | grep NEEDED | grep -i qt && fail "pellorin-cli links Qt"
passed=()
for test in test_cli_golden test_cli_check; do
    "$build/bin/$test" >"$work/$test.log" 2>&1 || { cat "$work/$test.log"; fail "$test fails without Qt"; }
    passed+=("$test: $(grep -E '^\[  PASSED  \]' "$work/$test.log")")
done
echo "PASS: built and tested without Qt: ${passed[*]}"
