#!/bin/bash
# debian/copyright names every library whose code the shipped programs carry
# inside them: each Debian package whose headers the package build compiled,
# unless the packages depend on its shared library (then its own copyright
# file comes with it). Such a library must be named by its -dev package, with
# every licence its own copyright file gives.
#
# Usage: copyright-covers.sh COPYRIGHT BUILT-SOURCE CHANGES
#   BUILT-SOURCE  where dpkg-buildpackage built, with the compiler's depfiles

set -u
readonly copyright=$1 built=$2 changes=$3
. "$(dirname "$0")/../e2e/lib.sh"
require_tools dpkg-query dpkg-deb

# The headers from outside the source, as the compiler's depfiles list them.
find "$built" -name '*.o.d' -exec cat {} + | tr -s ' \\' '\n\n' | grep '^/' \
    | grep -v "^$(realpath "$built")/" | xargs -r realpath -e | sort -u >"$work/headers"
[ -s "$work/headers" ] || fail "no depfiles with outside headers under $built"
source_of() { dpkg-query -W -f '${source:Package}\n' "$1" 2>/dev/null | head -n 1; }

# The sources of what the shipped packages depend on.
for deb in "$(dirname "$changes")"/*.deb; do
    dpkg-deb -f "$deb" Depends | tr ',|' '\n\n' | sed 's/^ *//; s/[ (].*//'
done | sort -u | while read -r package; do [ -n "$package" ] && source_of "$package"; done | sort -u >"$work/linked"

# dpkg -S answers "package[:arch]: path"; the package name is enough.
xargs dpkg -S <"$work/headers" 2>/dev/null | sed 's/[:,].*//' | sort -u >"$work/header-packages"
[ -s "$work/header-packages" ] || fail "no header of the build belongs to a package"
named=()
while read -r package; do
    source=$(source_of "$package")
    grep -qx "$source" "$work/linked" && continue
    # The kernel's interface to user space; its headers carry no code.
    [ "$source" = linux ] && continue
    grep -qw -- "$package" "$copyright" || fail "debian/copyright does not name $package, whose headers are compiled in"
    for licence in $(sed -n 's/^License: *//p' "/usr/share/doc/$package/copyright" | sort -u); do
        grep -qx "License: $licence" "$copyright" || fail "debian/copyright lacks $package's licence $licence"
    done
    named+=("$package")
done <"$work/header-packages"
echo "PASS: $(wc -l <"$work/headers") headers from $(wc -l <"$work/header-packages") packages; compiled in and named: ${named[*]:-none}"
