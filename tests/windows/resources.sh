#!/bin/bash
# pellorin-cli.exe carries what Explorer and the loader read: a resource
# section with the icon, the version (product, version, copyright,
# description) and the manifest (long paths, UTF-8 as the ANSI code page,
# the supported systems); no time stamp in the PE header, and windres makes
# the same resource object every time.
# Usage: resources.sh EXE
set -u
. "$(dirname "$0")/../e2e/lib.sh"
readonly exe=$1 rc=$(dirname "$1")/platform/cli/windows/pellorin-cli.rc
readonly objdump=x86_64-w64-mingw32-objdump windres=x86_64-w64-mingw32-windres
command -v "$objdump" >/dev/null || skip "$objdump is missing (Debian package binutils-mingw-w64-x86-64)"
[ -f "$exe" ] && [ -f "$rc" ] || skip "$exe or $rc is missing: make windows builds them"

headers=$("$objdump" -p "$exe") || fail "$objdump cannot read $exe"
grep -q 'Resource Directory \[\.rsrc\]' <<<"$headers" || fail "no resource section"
grep -q 'Time/Date.*1970' <<<"$headers" || fail "a time stamp in the PE header: $(grep Time/Date <<<"$headers")"
# Icon (3), its group (14), version (16), manifest (24).
types=$(sed -n '/Type Table/,$p' <<<"$headers" | sed -n 's/^0[0-9a-f]\{2\}   Entry: ID: 0x0*\([0-9a-f]*\),.*/\1/p' | tr '\n' ' ')
[ "$types" = "3 e 10 18 " ] || fail "resource types $types, not icon, group icon, version, manifest"

version=$(sed -n 's/^project(Pellorin VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")
texts=$(strings -n 3 -el "$exe")
for pair in "ProductName:Pellorin" "FileVersion:$version" "ProductVersion:$version" \
    "LegalCopyright:Copyright (c) 2026 The Pellorin authors, MIT License" \
    "FileDescription:Pellorin command line: test payment-card numbers"; do
    grep -A1 -xF "${pair%%:*}" <<<"$texts" | grep -qxF "${pair#*:}" ||
        fail "version resource lacks ${pair%%:*} = ${pair#*:}"
done
manifest=$(strings "$exe" | tr -d '\n' | grep -o '<assembly.*</assembly>')
for part in '<longPathAware[^>]*>true</longPathAware>' '<activeCodePage[^>]*>UTF-8</activeCodePage>' \
    '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>' 'level="asInvoker"'; do
    grep -q "$part" <<<"$manifest" || fail "the manifest lacks $part"
done

for n in 1 2; do
    "$windres" -O coff -I "$(dirname "$rc")" "$rc" "$work/$n.o" || fail "windres fails on $rc"
done
cmp "$work/1.o" "$work/2.o" || fail "windres made two different objects of $rc"
echo "PASS: resources $types; version $version; manifest; no time stamp; windres reproducible"
