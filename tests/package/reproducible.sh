#!/bin/bash
# The same commit built again gives byte-identical packages, debug symbols
# included: a fresh clone (so even the files' modification times differ), in
# another folder, later, under umask 002 instead of 022, another time zone
# and locale, and without the compiler launcher (ccache) the first build may
# have used, so that a cache cannot stand in for a compiler either.
#
# Usage: reproducible.sh SOURCE-DIR FIRST-OUT-DIR
#   FIRST-OUT-DIR  the packages tools/build-packages made from the same source
# Exit status 77 (a skip) where the source has uncommitted changes or is no
# git checkout: then the first build is not of one commit.

set -u
readonly source=$1 first=$2
. "$(dirname "$0")/../e2e/lib.sh"
require_tools git dpkg-buildpackage cmp

commit=$(git -C "$source" rev-parse HEAD 2>/dev/null) || skip "$source is not a git checkout"
[ -z "$(git -C "$source" status --porcelain)" ] \
    || skip "$source has uncommitted or untracked files: the packages are not of one commit"

git clone --quiet --shared --no-checkout "$source" "$work/another-name" \
    && (umask 002 && git -C "$work/another-name" checkout --quiet "$commit") \
    || fail "$commit cannot be checked out again"
again=$work/another-name/out
(
    umask 002
    unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
    export TZ=Pacific/Kiritimati LC_ALL=C.UTF-8 LANG=C.UTF-8
    export DEB_BUILD_OPTIONS="nocheck parallel=$(nproc)"
    "$work/another-name/tools/build-packages" "$again"
) >"$work/build.log" 2>&1 || { tail -n 50 "$work/build.log"; fail "the second build failed"; }

same=()
for deb in "$first"/*.deb; do
    name=$(basename "$deb")
    [ -f "$again/$name" ] || fail "the second build made no $name"
    if ! cmp "$deb" "$again/$name"; then
        # Where they differ: the ar members, file list and times, control data, contents.
        diff <(ar tv "$deb") <(ar tv "$again/$name") >&2
        diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$again/$name") >&2
        diff <(dpkg-deb -I "$deb") <(dpkg-deb -I "$again/$name") >&2
        dpkg -x "$deb" "$work/one" && dpkg -x "$again/$name" "$work/two" && diff -r "$work/one" "$work/two" >&2
        fail "$name differs between two builds of $commit"
    fi
    same+=("$name ($(stat -c %s "$deb") bytes)")
done
[ "$(ls "$again"/*.deb | wc -l)" = "${#same[@]}" ] || fail "the second build made other packages: $(ls "$again")"
echo "PASS: byte-identical from two builds of $commit: ${same[*]}"
