#!/bin/bash
# hardening-check on every ELF file the packages install: position-independent
# executables, the stack protector, read-only relocations, immediate binding
# and fortified functions: what dpkg-buildflags gives on Debian 12. It gives
# no control-flow protection (-fcf-protection), so that is not asked for.
#
# Usage: hardening.sh ROOT
#   ROOT  the packages unpacked together

set -u
readonly root=$1
. "$(dirname "$0")/../e2e/lib.sh"
require_tools hardening-check file

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
echo "PASS: hardening-check passes on ${elves[*]}"
[ "${#notes[@]}" = 0 ] || printf 'NOTE: %s\n' "${notes[@]}"
