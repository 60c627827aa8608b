#!/bin/bash
# hardening-check on every ELF file the packages install: position-independent
# executables, the stack protector, read-only relocations, immediate binding
# and fortified functions: what dpkg-buildflags gives on Debian 12 with
# hardening=+all. Beyond that, -fstack-clash-protection, and on x86 (amd64,
# i386) -fcf-protection: hardening-check cannot see the latter on bookworm
# (glibc's crt1.o and crti.o carry no IBT/SHSTK note, so no linked program
# keeps one, and it says "Control flow integrity: no"), so on amd64 every
# function of the program's own namespace that another file could call must
# start with endbr64 (the compiler leaves it out where nothing can call
# indirectly); and the compiler's record of its options in the debug symbols
# names the flags, and -g.
#
# Usage: hardening.sh ROOT DBGSYM-ROOT
#   ROOT         the packages unpacked together
#   DBGSYM-ROOT  their -dbgsym packages unpacked together

set -u
readonly root=$1 dbgsym=$2
. "$(dirname "$0")/../e2e/lib.sh"
require_tools hardening-check file readelf objdump

mapfile -t elves < <(cd "$root" && find . -type f -exec file {} + | grep ': *ELF ' | cut -d: -f1 | sort)
[ "${#elves[@]}" -ge 2 ] || fail "only ${#elves[@]} ELF files in $root"
notes=()
for elf in "${elves[@]}"; do
    hardening-check --nocfprotection --verbose "$root/$elf" >"$work/check" 2>&1 && continue
    # Fortification turns a call into its checked form only where the
    # compiler cannot prove it safe, and every printf-like call always. A
    # file whose only unchecked calls copy a run-time number of bytes
    # (memcpy, memmove, memset) was fortified; hardening-check then says "no"
    # for want of a checked call to see. Anything else unprotected fails.
    unprotected=$(sed -n 's/^\tunprotected: //p' "$work/check" | sort -u | tr '\n' ' ')
    if grep -q '^ Fortify Source functions: no, only unprotected functions found!' "$work/check" \
        && [ -z "$(tr ' ' '\n' <<<"$unprotected" | grep -vxE 'mem(cpy|move|set)|')" ] \
        && hardening-check --nocfprotection --nofortify "$root/$elf" >/dev/null; then
        notes+=("$elf: its only unprotected calls are $unprotected")
        continue
    fi
    cat "$work/check"
    fail "hardening-check fails on $elf"
done

# The debug file of an ELF file, by its build id.
debug_file() {
    local id
    id=$(readelf -n "$1" 2>/dev/null | sed -n 's/^ *Build ID: *//p')
    [ -n "$id" ] && echo "$dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug"
}
architecture=$(dpkg --print-architecture)
flags=(-fstack-clash-protection -g)
case $architecture in amd64 | i386) flags+=(-fcf-protection) ;; esac
entries=0
for elf in "${elves[@]}"; do
    debug=$(debug_file "$root/$elf") && [ -f "$debug" ] || fail "$elf has no debug symbols in a -dbgsym package"
    # Every compilation unit's options, in the file or in the one dwz shared out.
    readelf --debug-dump=info "$debug" 2>/dev/null | grep -a 'DW_AT_producer' >"$work/producers"
    alt=$(readelf --string-dump=.gnu_debugaltlink "$debug" 2>/dev/null | sed -n 's/^ *\[ *0\] *//p')
    [ -n "$alt" ] && readelf --string-dump=.debug_str "$dbgsym$alt" 2>/dev/null \
        | grep -a 'GNU C' >>"$work/producers"
    grep -q 'GNU C' "$work/producers" || fail "$elf: no compilation unit records its options"
    for flag in "${flags[@]}"; do
        grep 'GNU C' "$work/producers" | grep -v -e " $flag " -e " $flag\$" -e " $flag=" | head -n 3 >"$work/without"
        [ -s "$work/without" ] && { cat "$work/without"; fail "$elf: compiled without $flag"; }
    done
    # Our functions' entries in the stripped file, found by the debug symbols.
    [ "$architecture" = amd64 ] || continue
    while read -r address name; do
        bytes=$(objdump -d --start-address="0x$address" --stop-address="$((0x$address + 4))" "$root/$elf" \
            | grep -Eo '^ +[0-9a-f]+:\s+([0-9a-f]{2} )+' | sed 's/^ *[0-9a-f]*:\s*//' | tr -d ' \n')
        [ "$bytes" = f30f1efa ] || fail "$elf: $name does not start with endbr64 ($bytes)"
        entries=$((entries + 1))
    done < <(readelf -sW "$debug" \
        | awk '$4 == "FUNC" && $5 != "LOCAL" && $2 !~ /^0+$/ && $8 !~ /\./ && ($8 ~ /^_ZN8pellorin/ || $8 == "main") { print $2, $8 }')
done
if [ "$architecture" = amd64 ]; then
    [ "$entries" -gt 50 ] || fail "only $entries functions of the program were found to check"
    echo "PASS: hardening-check passes on ${elves[*]}; $entries function entries start with endbr64"
else
    echo "PASS: hardening-check passes on ${elves[*]}; compiled with ${flags[*]}"
fi
[ "${#notes[@]}" = 0 ] || printf 'NOTE: %s\n' "${notes[@]}"
