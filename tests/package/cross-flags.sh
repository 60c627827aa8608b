#!/bin/bash
# The compiler flags of a package build for each architecture, as
# debian/rules sets dpkg-buildflags up (cmake/Hardening.cmake asks it the
# same): -fcf-protection only for x86, the one family of CPUs GCC has it
# for, since GCC refuses it for any other target. With arm64's flags and
# those the project adds, a file of the project compiles with
# aarch64-linux-gnu-g++.
#
# Usage: cross-flags.sh SOURCE-DIR

set -u
readonly source=$1
. "$(dirname "$0")/../e2e/lib.sh"
require_tools dpkg-architecture dpkg-buildflags make aarch64-linux-gnu-g++

# dpkg-buildflags' answer (CPPFLAGS, CXXFLAGS) inside debian/rules, for an architecture.
flags() {
    (cd "$source" && dpkg-architecture -a"$1" -c make -s -f debian/rules \
        --eval "pellorin-flags: ; @dpkg-buildflags --get $2" pellorin-flags) 2>/dev/null
}
report=()
while read -r architecture cf; do
    cxxflags=$(flags "$architecture" CXXFLAGS) || fail "no flags for $architecture"
    [[ " $cxxflags " == *" -fstack-protector-strong "* ]] || fail "$architecture's flags lack hardening=+all: $cxxflags"
    if [[ " $cxxflags " == *" -fcf-protection"[\ =]* ]]; then
        [ "$cf" = yes ] || fail "$architecture's flags carry -fcf-protection: $cxxflags"
    else
        [ "$cf" = no ] || fail "$architecture's flags lack -fcf-protection: $cxxflags"
    fi
    report+=("$architecture: -fcf-protection $cf")
done <<'ARCHITECTURES'
amd64 yes
i386 yes
arm64 no
armhf no
ppc64el no
riscv64 no
s390x no
ARCHITECTURES

# What CMakeLists.txt adds (the language, warnings, position-independent code).
read -ra arm64 <<<"$(flags arm64 CPPFLAGS) $(flags arm64 CXXFLAGS)"
aarch64-linux-gnu-g++ "${arm64[@]}" -std=c++20 -Wall -Wextra -Wpedantic -fPIE -I"$source/generate" \
    -c "$source/core/CardGenerator.cpp" -o "$work/CardGenerator.o" 2>"$work/compile.log" \
    || { cat "$work/compile.log"; fail "core/CardGenerator.cpp does not compile with arm64's flags"; }
file "$work/CardGenerator.o" | grep -q 'ARM aarch64' || fail "the object is not for arm64: $(file "$work/CardGenerator.o")"
echo "PASS: ${report[*]}; core/CardGenerator.cpp compiles for arm64 with ${arm64[*]}"
