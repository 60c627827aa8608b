#!/bin/bash
# debian/copyright names every library whose code the shipped programs carry
# inside them: each Debian package whose headers the package build compiled,
# unless the packages depend on its shared library (then its own copyright
# file comes with it). Such a library must be named by its -dev package, and
# its headers that were compiled in by a Files paragraph of their own (by
# the path the package installs them at) with every licence its own
# copyright file gives, each with its text. Of a compiler's tree
# (emscripten's), only the parts it links into every program count: each in
# a Files paragraph by its installed path, with the licence the tree's
# copyright file gives that place. And the AppStream data has the licence
# its metadata_license names.
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

# The sources of what the shipped packages depend on, and of what those
# depend on in turn: a Python module's headers are the interpreter's, which
# comes (with its copyright file) through python3.
names_of() { tr ',|' '\n\n' | sed 's/^ *//; s/[ (:].*//' | grep -v '^$'; }
for deb in "$(dirname "$changes")"/*.deb; do
    dpkg-deb -f "$deb" Depends | names_of
done | sort -u >"$work/depends"
while read -r package; do
    dpkg-query -W -f '${Depends}\n' "$package" 2>/dev/null | names_of
done <"$work/depends" | sort -u | cat - "$work/depends" | sort -u \
    | while read -r package; do source_of "$package"; done | sort -u >"$work/linked"

# dpkg -S answers "package[:arch]: path"; the package name is enough.
xargs dpkg -S <"$work/headers" 2>/dev/null >"$work/header-owners"
sed 's/[:,].*//' "$work/header-owners" | sort -u >"$work/header-packages"
[ -s "$work/header-packages" ] || fail "no header of the build belongs to a package"

# The parts of a tree a program carries, by one file of each, below the
# folder the package keeps the tree in: libc++, libc++abi, the compiler's
# runtime, musl's and emscripten's own parts of the C library, malloc, and
# the JavaScript runtime.
declare -A tree=([emscripten]=/usr/share/emscripten)
declare -A parts=([emscripten]="system/lib/libcxx/src/string.cpp system/lib/libcxxabi/src/cxa_exception.cpp
    system/lib/compiler-rt/lib/builtins/multi3.c system/lib/libc/musl/src/string/memchr.c
    system/lib/libc/emscripten_memcpy.c system/lib/sbrk.c system/lib/dlmalloc.c
    src/preamble.js src/library.js")

# "pattern<TAB>licence" for every pattern of every Files paragraph.
file_licences() {
    awk '/^Files:/ { sub(/^Files: */, ""); patterns = $0; listing = 1; next }
         listing && /^ / { patterns = patterns " " $0; next }
         { listing = 0 }
         /^License:/ && patterns != "" { sub(/^License: */, "")
             n = split(patterns, each, " "); for (i = 1; i <= n; i++) print each[i] "\t" $0
             patterns = "" }' "$1"
}
# The licence of FILE in a list file_licences made (default: the package's):
# the last Files pattern that matches it wins.
licence_of() {
    local pattern licence found=
    while IFS=$'\t' read -r pattern licence; do
        # shellcheck disable=SC2053 # the pattern is a glob on purpose
        [[ $1 == $pattern ]] && found="$pattern"$'\t'"$licence"
    done <"${2:-$work/file-licences}"
    [ -n "$found" ] && printf '%s\n' "$found"
}
# Each file of another package that the programs carry has a Files paragraph
# of its own in ours, by the path that package installs it at (FILE, without
# the leading /), with each licence of the expression given.
file_licences "$copyright" >"$work/our-licences"
names_with() {
    local pattern licence name
    IFS=$'\t' read -r pattern licence < <(licence_of "$1" "$work/our-licences")
    [ -n "$pattern" ] && [ "$pattern" != '*' ] || fail "no Files paragraph of debian/copyright names /$1"
    while read -r name; do
        [ -n "$name" ] || continue
        grep -qixF "$name" < <(sed -E 's/[()]//g; s/ (or|and) /\n/g' <<<"$licence") \
            || fail "debian/copyright gives /$1 ($pattern) the licence '$licence', not $name"
    done < <(sed -E 's/[()]//g; s/ (or|and) /\n/g' <<<"$2")
}

# Each licence of an expression ("A or B and C with D exception") needs a
# paragraph of its own with its text; short names match in any case, as in
# the copyright format.
has_licences() {
    local name
    while read -r name; do
        [ -n "$name" ] || continue
        grep -qix "License: $name" "$copyright" || fail "debian/copyright lacks $2's licence $name"
        grep -i -A1 -x "License: $name" "$copyright" | grep -q '^ ' || fail "debian/copyright gives no text for $name"
    done < <(sed -E 's/[()]//g; s/ (or|and) /\n/g' <<<"$1")
}

# The AppStream data's licence is the one its metadata_license names.
metainfo=share/metainfo/app.metainfo.xml.in
metadata_licence=$(sed -n 's|.*<metadata_license>\(.*\)</metadata_license>.*|\1|p' "$(dirname "$copyright")/../$metainfo")
IFS=$'\t' read -r _ licence < <(licence_of "$metainfo" "$work/our-licences")
[ "$licence" = "$metadata_licence" ] || fail "debian/copyright gives $metainfo the licence '$licence', not $metadata_licence"
has_licences "$licence" "the AppStream data"

named=()
while read -r package; do
    source=$(source_of "$package")
    grep -qx "$source" "$work/linked" && continue
    # The kernel's interface to user space; its headers carry no code.
    [ "$source" = linux ] && continue
    # A compiler's freestanding headers: types, limits and macros, no code.
    if [[ $package == libclang-common-* ]] && ! grep "^$package[:,]" "$work/header-owners" | sed 's|.*/||' \
        | grep -qvxE 'stddef\.h|__stddef_max_align_t\.h|stdint\.h|limits\.h|stdarg\.h|stdbool\.h|float\.h'; then
        continue
    fi
    grep -qw -- "$package" "$copyright" || fail "debian/copyright does not name $package, whose headers are compiled in"
    if [ -n "${parts[$package]:-}" ]; then
        file_licences "/usr/share/doc/$package/copyright" >"$work/file-licences"
        for part in ${parts[$package]}; do
            [ -e "${tree[$package]}/$part" ] || fail "$package has no $part: the list of its parts is out of date"
            IFS=$'\t' read -r pattern licence < <(licence_of "$part") \
                || fail "$package's copyright file covers no $part"
            names_with "${tree[$package]#/}/$part" "$licence"
            has_licences "$licence" "$package's $part"
        done
    else
        while read -r licence; do
            has_licences "$licence" "$package"
            while read -r header; do
                names_with "$header" "$licence"
            done < <(grep "^$package[:,]" "$work/header-owners" | sed 's/^[^ ]* //; s|^/||')
        done < <(sed -n 's/^License: *//p' "/usr/share/doc/$package/copyright" | sort -u)
    fi
    named+=("$package")
done <"$work/header-packages"
echo "PASS: $(wc -l <"$work/headers") headers from $(wc -l <"$work/header-packages") packages; compiled in and named: ${named[*]:-none}"
