#!/bin/bash
# What apt would install for each package, on a minimal Debian system: one
# with only this machine's required and important packages. Run through
# apt-get --simulate, so nothing is installed.
#
# Usage: apt-simulate.sh CHANGES   (the packages beside it are checked)

set -u
folder=$(dirname "$(realpath "$1")")
deb() { ls "$folder/$1"_*.deb; }
readonly cli=$(deb pellorin-cli) window=$(deb pellorin) calc=$(deb pellorin-calc) page=$(deb pellorin-web)
. "$(dirname "$0")/../e2e/lib.sh"
require_tools apt-get awk

# The minimal system's package database.
python3 "$(dirname "$0")/minimal-status.py" >"$work/status" || fail "no minimal system can be described"

# Prints the packages apt would install, one a line; fails as apt does.
installs() {
    apt-get install --simulate -o Dir::State::status="$work/status" \
        -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= "$@" >"$work/apt" 2>&1 || return 1
    awk '$1 == "Inst" { print $2 }' "$work/apt" | sort
}
report=()
# CASE: apt-get arguments | must install (regex, one a line) | must not install (regex)
check() {
    local name=$1 expect=$2 refuse=$3
    shift 3
    installs "$@" >"$work/list" || { cat "$work/apt" >&2; fail "$name: apt cannot install it"; }
    local pattern
    for pattern in $expect; do
        grep -Eqx "$pattern" "$work/list" || fail "$name: apt would not install $pattern"
    done
    if [ -n "$refuse" ] && grep -Ex "$refuse" "$work/list" >&2; then
        fail "$name: apt would install the packages above"
    fi
    report+=("$name: $(wc -l <"$work/list") packages")
}
check "pellorin-cli alone" "pellorin-cli" '.*(qt|x11|xcb|wayland|libreoffice|uno|gl|mesa).*|pellorin' "$cli"
check "pellorin" "pellorin libqt6widgets6 qt6-wayland" '.*(libreoffice|uno).*|pellorin-(cli|calc)' "$window"
# A folder of files: nothing else, not even a browser.
check "pellorin-web alone" "pellorin-web" '' "$page"
[ "$(cat "$work/list")" = pellorin-web ] || fail "pellorin-web alone: apt would install more: $(tr '\n' ' ' <"$work/list")"
check "pellorin without recommends" "pellorin libqt6widgets6 fonts-liberation2" \
    '.*(libreoffice|uno).*|qt6-wayland|pellorin-(cli|calc)' --no-install-recommends "$window"
if [ -n "$calc" ]; then
    # Its window is not in the archive: alone, the module cannot be installed.
    installs "$calc" >/dev/null && fail "pellorin-calc installs without the pellorin of its version"
    grep -q 'pellorin-calc : Depends: pellorin (= ' "$work/apt" || { cat "$work/apt" >&2; fail "apt refuses pellorin-calc for another reason"; }
    report+=("pellorin-calc alone: refused, needs pellorin")
    check "pellorin-calc with pellorin" "pellorin-calc pellorin libreoffice-calc libuno-cppu3 ure" '' "$window" "$calc"
fi
printf 'PASS: %s\n' "${report[@]}"
