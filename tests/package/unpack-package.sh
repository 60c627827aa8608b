#!/bin/bash
# Builds the Debian packages into OUT-DIR and unpacks each into a fresh folder
# of its own, ROOT/<package>, as dpkg would lay it out under /; all of them
# together into ROOT/all, and their debug symbols into ROOT/dbgsym, for the
# tests that check and run what they install.
#
# Usage: unpack-package.sh SOURCE-DIR OUT-DIR ROOT

set -eu
readonly source=$1 out=$2 root=$3

"$source/tools/build-packages" "$out"
(cd "$out" && sha256sum --check --quiet SHA256SUMS) || { echo "FAIL: SHA256SUMS does not match the packages" >&2; exit 1; }
rm -rf "$root" && mkdir -p "$root"
for deb in "$out"/*.deb; do
    package=$(dpkg-deb -f "$deb" Package)
    dpkg -x "$deb" "$root/$package"
    case $package in
    *-dbgsym) dpkg -x "$deb" "$root/dbgsym" ;;
    *) dpkg -x "$deb" "$root/all" ;;
    esac
done
