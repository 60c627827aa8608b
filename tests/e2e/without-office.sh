#!/bin/bash
# The real program where LibreOffice cannot be reached. The window appears, a
# run and a copy work, and "Save Results As Excel File" gives one error
# report, at line 108, that says why; the program stays alive.
#
# Usage: without-office.sh MODE PELLORIN
#   hidden    the office's folder is empty
#   uno-only  it holds only the UNO libraries the module links, as apt leaves
#             it when the module's package is installed without recommends
#   ure-only  it holds those and the UNO runtime (package ure), but no office
#   absent    the spreadsheet module is not beside the program
# The first three hide /usr/lib/libreoffice in a mount namespace of the
# program's own and take root.
# Exit status 77 (a skip) where no X server or no mount namespace can be had.

set -u
readonly mode=$1
readonly program=$2

. "$(dirname "$0")/lib.sh"
# The report is read as a screen reader reads it, over a session bus of our own.
on_own_session_bus "$@"
require_tools xdotool xclip xwininfo

readonly office=/usr/lib/libreoffice
# The files a package installs in the office's folder.
files_of() {
    dpkg -L "$@" | grep "^$office/" | while read -r file; do [ -d "$file" ] || echo "$file"; done
}
# The installed packages of the UNO libraries, which apt installs for the module.
uno_packages() {
    dpkg-query -W -f '${db:Status-Status} ${Package}\n' 'libuno-*' uno-libs-private 2>/dev/null \
        | sed -n 's/^installed //p'
}
# What is left of the office's folder: only these of its files, copied.
keep_only() {
    mkdir "$work/office" && (cd / && cp -a --parents "$@" "$work/office/") \
        || fail "the office's files cannot be copied"
    run=(unshare -m --propagation private sh -c 'mount --bind "$0" '"$office"' && exec "$@"'
         "$work/office$office" "$program")
}
case $mode in
hidden | uno-only | ure-only)
    [ "$(id -u)" = 0 ] || skip "hiding $office takes root"
    unshare -m --propagation private true 2>/dev/null || skip "no mount namespace of our own here"
    ;;
esac
case $mode in
hidden)
    reason='libuno_[a-z0-9]*\.so\.3: cannot open shared object file'
    # An empty folder in place of the office's; without the office there is nothing to hide.
    hide="[ ! -d $office ] || mount -t tmpfs none $office || exit 1"
    run=(unshare -m --propagation private sh -c "$hide"' && exec "$0" "$@"' "$program")
    ;;
uno-only)
    reason='the UNO runtime (package ure) is incomplete'
    mapfile -t libraries < <(files_of $(uno_packages))
    [ "${#libraries[@]}" -gt 0 ] || skip "no UNO libraries are installed"
    keep_only "${libraries[@]}"
    ;;
ure-only)
    reason='the office itself is missing'
    dpkg -s ure >/dev/null 2>&1 || skip "the package ure is not installed"
    mapfile -t runtime < <(files_of $(uno_packages) ure)
    keep_only "${runtime[@]}"
    ;;
absent)
    reason='this Pellorin has no spreadsheet module: install the package pellorin-calc'
    mkdir "$work/bin" && cp "$program" "$work/bin/" || fail "the program cannot be copied"
    run=("$work/bin/$(basename "$program")")
    ;;
*) fail "unknown mode '$mode'" ;;
esac
# A build without the module has nothing else to say.
[ -e "$(dirname "$(realpath "$program")")/libpellorin-calc.so" ] || reason='this Pellorin has no spreadsheet module: install the package pellorin-calc'

start_xvfb
start_accessibility_bus
prepare_settings Text1=7 Option1=True
start_program env QT_QPA_PLATFORM=xcb "${run[@]}"

click_at $button_start
copy_and_dismiss
lines=$(xclip -o -selection clipboard | grep -c '^4[0-9]*'$'\r''$')
[ "$lines" = 7 ] || fail "the clipboard holds $lines numbers, not 7"

click_at $button_excel
report_box() { message_box '^Application Error$'; }
wait_for 300 report_box || fail "no error report after Save Results As Excel File"
box=$(report_box)
read_report() { window_texts 'Application Error' >"$work/report" && grep -q 'at line' "$work/report"; }
wait_for 100 read_report || fail "the error report cannot be read"
grep -q '^LibreOffice Calc is not installed or could not be started: .' "$work/report" \
    || { cat "$work/report" >&2; fail "the report does not say that LibreOffice Calc could not be started"; }
# Says what is missing: the module was looked for and, where it exists, loaded.
grep -q "^LibreOffice Calc is not installed or could not be started: .*$reason" "$work/report" \
    || { cat "$work/report" >&2; fail "the report does not say '$reason'"; }
grep -q 'PushButton13_Click at line 108' "$work/report" \
    || { cat "$work/report" >&2; fail "the report is not for line 108"; }
xdotool windowfocus --sync "$box"
xdotool key Return
no_report_box() { ! report_box; }
wait_for 100 no_report_box || fail "the error report did not close on Return"
expect_nothing_more_after "the error report"
program_gone && fail "the program ended after the report"
echo "PASS ($mode): 7 numbers copied, one report at line 108: $(head -n 1 "$work/report")"
