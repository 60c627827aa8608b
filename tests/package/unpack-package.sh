#!/bin/bash
# Builds the Debian packages and unpacks each into a fresh folder of its own,
# ROOT/<package>, as dpkg would lay it out under /, and all of them together
# into ROOT/all, for the tests that check and run what they install.
#
# Usage: unpack-package.sh BUILD-DIR ROOT DEB...

set -eu
readonly build=$1 root=$2
shift 2

rm -f "$@"
cmake --build "$build" --target package
rm -rf "$root" && mkdir -p "$root"
for deb in "$@"; do
    [ -f "$deb" ] || { echo "FAIL: $deb was not built" >&2; exit 1; }
    package=$(dpkg-deb -f "$deb" Package)
    dpkg -x "$deb" "$root/$package"
    dpkg -x "$deb" "$root/all"
done
