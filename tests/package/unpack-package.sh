#!/bin/bash
# Builds the Debian package and unpacks it into a fresh folder, as dpkg would
# lay it out under /, for the tests that check and run what it installs.
#
# Usage: unpack-package.sh BUILD-DIR DEB ROOT

set -eu
readonly build=$1 deb=$2 root=$3

rm -f "$deb"
cmake --build "$build" --target package
[ -f "$deb" ] || { echo "FAIL: $deb was not built" >&2; exit 1; }
rm -rf "$root"
dpkg -x "$deb" "$root"
