#!/bin/bash
# pellorin-cli configured, built and tested with Qt out of reach: any
# find_package(Qt6) on its way fails the configuration.
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
cmake --build "$build" -j "$(nproc)" >"$work/build.log" 2>&1 \
    || { tail -n 50 "$work/build.log"; fail "pellorin-cli cannot be built without Qt"; }
[ -x "$build/bin/pellorin-cli" ] || fail "no pellorin-cli was built"
[ ! -e "$build/bin/pellorin" ] || fail "the window was built without Qt"
readelf -d "$build/bin/pellorin-cli" | grep NEEDED | grep -i qt && fail "pellorin-cli links Qt"
(cd "$build" && ctest --output-on-failure -j "$(nproc)" --timeout 600 >"$work/test.log" 2>&1) \
    || { cat "$work/test.log"; fail "pellorin-cli's tests fail without Qt"; }
echo "PASS: built and tested without Qt: $(grep -E '^[0-9]+% tests passed' "$work/test.log")"
