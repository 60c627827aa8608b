#!/bin/bash
# The same commit built again, in another folder and at another time (a
# fresh clone, so even the files' modification times differ), gives
# byte-identical packages.
#
# Usage: reproducible.sh SOURCE-DIR FIRST-BUILD-DIR DEB...
#   DEB  the packages the first build made from the same source
# Exit status 77 (a skip) where the source has uncommitted changes or is no
# git checkout: then the first build is not of one commit.

set -u
readonly source=$1 first=$2
shift 2
. "$(dirname "$0")/../e2e/lib.sh"
require_tools git cmake cmp

commit=$(git -C "$source" rev-parse HEAD 2>/dev/null) || skip "$source is not a git checkout"
[ -z "$(git -C "$source" status --porcelain --untracked-files=no)" ] \
    || skip "$source has uncommitted changes: the packages are not of one commit"
cached() { sed -n "s/^$1:[A-Z]*=//p" "$first/CMakeCache.txt"; }

git clone --quiet --shared --no-checkout "$source" "$work/src" && git -C "$work/src" checkout --quiet "$commit" \
    || fail "$commit cannot be checked out again"
again=$work/src/build
# The packages' own targets only: tests and benchmarks are not in them.
cmake -S "$work/src" -B "$again" -DCMAKE_BUILD_TYPE="$(cached CMAKE_BUILD_TYPE)" \
    -DPELLORIN_WITH_CALC="$(cached PELLORIN_WITH_CALC)" -DPELLORIN_BUILD_TESTS=OFF -DPELLORIN_BUILD_BENCH=OFF \
    >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "the second build cannot be configured"; }
cmake --build "$again" -j "$(nproc)" --target package >"$work/build.log" 2>&1 \
    || { tail -n 50 "$work/build.log"; fail "the second build failed"; }

same=()
for deb in "$@"; do
    name=$(basename "$deb")
    [ -f "$again/$name" ] || fail "the second build made no $name"
    if ! cmp "$deb" "$again/$name"; then
        # Where they differ: file list and times, control data, contents.
        diff <(dpkg-deb -c "$deb") <(dpkg-deb -c "$again/$name") >&2
        diff <(dpkg-deb -I "$deb") <(dpkg-deb -I "$again/$name") >&2
        dpkg -x "$deb" "$work/one" && dpkg -x "$again/$name" "$work/two" && diff -r "$work/one" "$work/two" >&2
        fail "$name differs between two builds of $commit"
    fi
    same+=("$name ($(stat -c %s "$deb") bytes)")
done
echo "PASS: byte-identical from two builds of $commit: ${same[*]}"
