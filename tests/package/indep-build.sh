#!/bin/bash
# dpkg-buildpackage -A, as a build machine for architecture-independent
# packages runs it: it makes pellorin-web alone, and builds the page without
# configuring or compiling the window, the office module or the command line.
#
# Usage: indep-build.sh SOURCE-DIR OUT-DIR

set -u
readonly source=$1 out=$2
. "$(dirname "$0")/../e2e/lib.sh"
require_tools dpkg-buildpackage dpkg-deb

"$source/tools/build-packages" "$out" -A >"$work/build.log" 2>&1 \
    || { tail -n 50 "$work/build.log"; fail "dpkg-buildpackage -A failed"; }
made=$(cd "$out" && ls -- *.deb)
[ "$made" = "$(basename "$(ls "$out"/pellorin-web_*_all.deb)")" ] || fail "dpkg-buildpackage -A made $made"
dpkg-deb -c "$out"/pellorin-web_*_all.deb | grep -q '/usr/share/pellorin-web/pellorin\.js$' || fail "pellorin-web lacks the page"
grep -q "Bundling the page's script" "$work/build.log" || fail "the log does not show the page being built"

# The window's, the module's and the command line's objects and libraries,
# and the libraries only they need.
grep -nE 'Form1|pellorin_app|pellorin_calc|pellorin_uno|libpellorin-calc|pellorin_cli|mocs_compilation|bin/pellorin(-cli)?\b' \
    "$work/build.log" | head -n 20 >"$work/native"
[ -s "$work/native" ] && { cat "$work/native"; fail "dpkg-buildpackage -A built the programs"; }
cache=$(ls "$out"/source/pellorin-*/obj-*/CMakeCache.txt) || fail "the build left no CMakeCache.txt"
grep -E '^(Qt6|CLI11|PELLORIN_CPPUMAKER)[A-Za-z_]*:' "$cache" && fail "dpkg-buildpackage -A looked for the programs' libraries"
echo "PASS: dpkg-buildpackage -A made $made alone; its log of $(wc -l <"$work/build.log") lines names none of the programs' objects"
