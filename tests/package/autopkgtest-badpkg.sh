#!/bin/bash
# autopkgtest.sh fails, and does not skip, where a package cannot be
# installed: a package made here of nothing but a dependency that no archive
# has, with one test that would pass, goes through the wrapper as the real
# packages do, into the same minimal system.
#
# Usage: autopkgtest-badpkg.sh SOURCE-DIR
# Exit status 77 (a skip) where the wrapper finds no minimal system to test in.

set -u
readonly source=$1
. "$(dirname "$0")/../e2e/lib.sh"
require_tools dpkg-deb

name=pellorin-unsatisfiable
mkdir -p "$work/deb/DEBIAN" "$work/out" "$work/source/debian/tests" "$work/source/tests/e2e"
fields="Maintainer: Pellorin maintainers <maintainers@quillmere.example>
Depends: pellorin-no-such-package (>= 99)
Description: package that no system can install
 It depends on a package that no archive has."
printf 'Package: %s\nVersion: 1.0\nArchitecture: all\n%s\n' "$name" "$fields" >"$work/deb/DEBIAN/control"
dpkg-deb --root-owner-group --build "$work/deb" "$work/out/${name}_1.0_all.deb" >/dev/null \
    || fail "the test package cannot be built"
: >"$work/out/${name}_1.0_all.changes"
printf 'Source: %s\nMaintainer: Pellorin maintainers <maintainers@quillmere.example>\n\nPackage: %s\nArchitecture: all\n%s\n' \
    "$name" "$name" "$fields" >"$work/source/debian/control"
printf 'Test-Command: true\nDepends: @\n' >"$work/source/debian/tests/control"
printf '%s (1.0) unstable; urgency=medium\n\n  * Test.\n\n -- Pellorin maintainers <maintainers@quillmere.example>  Mon, 07 Dec 2026 00:00:00 +0000\n' \
    "$name" >"$work/source/debian/changelog"
cp "$source/tests/e2e/lib.sh" "$source/tests/e2e/luhn.py" "$work/source/tests/e2e/"
# The wrapper brings the README along, for the tests that build its examples.
cp "$source/README.md" "$work/source/"

bash "$source/tests/package/autopkgtest.sh" "$work/source" "$work/out/${name}_1.0_all.changes" >"$work/log" 2>&1
status=$?
case $status in
1) grep -q 'status 12' "$work/log" || { cat "$work/log"; fail "the wrapper failed, but not for the erroneous package"; }
   echo "PASS: the wrapper fails on a package that cannot be installed: $(grep '^FAIL' "$work/log")" ;;
77) cat "$work/log"
    grep -q 'status 12' "$work/log" && fail "the wrapper skips a package that cannot be installed"
    skip "the wrapper finds no minimal system here" ;;
*) cat "$work/log"; fail "the wrapper ended with status $status on a package that cannot be installed" ;;
esac
