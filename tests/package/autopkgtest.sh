#!/bin/bash
# debian/tests run by autopkgtest against the built packages, installed into
# a throwaway minimal Debian system: a debootstrap --variant=minbase root
# from the mirror apt uses here, with the same apt sources, unpacked afresh
# for this run and entered by autopkgtest's chroot runner, with /proc, /dev
# and /sys mounted in a mount namespace of its own that ends with the run.
# The root is made once and kept as a tarball in PELLORIN_ROOT_CACHE
# (default ~/.cache/pellorin), and the packages apt fetches into it are kept
# there too; nothing is installed into this machine.
#
# Usage: autopkgtest.sh SOURCE-DIR CHANGES
# Exit status 77 (a skip) where no such root can be made or entered here
# (not root, no mount namespace, no way to the mirror, autopkgtest's testbed
# failure); a package that cannot be installed there fails.

set -u
readonly source=$1 changes=$2
. "$(dirname "$0")/../e2e/lib.sh"
require_tools autopkgtest debootstrap unshare tar
[ "$(id -u)" = 0 ] || skip "a chroot takes root"
unshare -m --propagation private true 2>/dev/null || skip "no mount namespace of our own here"

cache=${PELLORIN_ROOT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/pellorin}
release=bookworm
tarball=$cache/$release-minbase-$(dpkg --print-architecture).tar
mkdir -p "$cache/archives/partial" || fail "$cache cannot be made"

# The first deb.debian.org-style URI for the release among apt's sources.
mirror() {
    { grep -hE "^deb +(\[[^]]*\] +)?[a-z]+://[^ ]+ +$release " /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null \
        | sed -E 's/^deb +(\[[^]]*\] +)?//; s/ .*//'
      grep -lE "^Suites:.*\\b$release\\b" /etc/apt/sources.list.d/*.sources 2>/dev/null \
        | xargs -r sed -n 's/^URIs: *//p' | tr ' ' '\n'
    } | grep -v security | head -n 1
}
if [ ! -s "$tarball" ]; then
    url=$(mirror)
    [ -n "$url" ] || skip "apt has no source for $release here"
    echo "Making a minimal $release system from $url into $tarball (once)"
    debootstrap --variant=minbase "$release" "$work/root" "$url" >"$work/debootstrap.log" 2>&1 \
        || { tail -n 20 "$work/debootstrap.log" >&2; skip "debootstrap cannot make a $release system from $url"; }
    # apt there sees the same archive as here (point release, updates, security).
    rm -f "$work/root/etc/apt/sources.list"
    cp /etc/apt/sources.list.d/*.sources /etc/apt/sources.list.d/*.list "$work/root/etc/apt/sources.list.d/" 2>/dev/null
    [ -s /etc/apt/sources.list ] && cp /etc/apt/sources.list "$work/root/etc/apt/sources.list"
    rm -f "$work/root/var/cache/apt/archives/"*.deb
    tar -C "$work/root" -cf "$tarball.new" . && mv "$tarball.new" "$tarball" || fail "$tarball cannot be written"
    rm -rf "$work/root"
fi

# The tests need only debian/, the end-to-end helpers of the source and the
# README, whose example the library's test builds.
mkdir -p "$work/source/tests/e2e"
cp -r "$source/debian" "$work/source/" \
    && cp "$source/tests/e2e/lib.sh" "$source/tests/e2e/luhn.py" "$work/source/tests/e2e/" \
    && cp "$source/README.md" "$work/source/" \
    || fail "the tests cannot be copied from $source"
mapfile -t debs < <(ls "$(dirname "$changes")"/*.deb | grep -v -- '-dbgsym_')
root=$work/root
mkdir "$root" && tar -C "$root" -xf "$tarball" || fail "$tarball cannot be unpacked"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null
cat >"$work/enter" <<'ENTER'
set -e
root=$1 archives=$2
shift 2
mount -t proc proc "$root/proc"
mount --rbind /dev "$root/dev"
mount --rbind /sys "$root/sys"
mount --bind "$archives" "$root/var/cache/apt/archives"
exec "$@"
ENTER
unshare -m --propagation private bash "$work/enter" "$root" "$cache/archives" \
    autopkgtest --no-built-binaries --output-dir "$work/out" "${debs[@]}" "$work/source/" -- chroot "$root" \
    >"$work/autopkgtest.log" 2>&1
status=$?
cat "$work/out/summary" 2>/dev/null
case $status in
0) echo "PASS: autopkgtest in a minimal $release system: $(tr -s ' \n' ' ' <"$work/out/summary")" ;;
# 16: the testbed could not be set up, which says nothing of the packages.
16) tail -n 30 "$work/autopkgtest.log" >&2; skip "autopkgtest found no usable testbed (status $status)" ;;
# 12: an erroneous package, such as one whose dependencies cannot be met.
12) grep -E 'badpkg|unsatisfiable|Depends:|E: ' "$work/autopkgtest.log" | tail -n 30 >&2
    fail "autopkgtest found the packages erroneous: they cannot be installed or tested (status 12)" ;;
*) grep -v -e "^Get:" -e "^Setting up" -e "^Unpacking" -e "^Selecting" -e "^Preparing" "$work/autopkgtest.log" | tail -n 80 >&2; fail "autopkgtest failed (status $status)" ;;
esac
