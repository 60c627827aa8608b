#!/bin/bash
# Checks the built package and what it installs (unpacked by
# unpack-package.sh into ROOT): its control data, its exact file list, the
# desktop files as the validators see them, the command line and its
# completion, and lintian's verdict.
#
# Usage: check-package.sh DEB ROOT VERSION APP-ID [OPTIONAL-FILE...]
#   OPTIONAL-FILE: a further installed path of this build, e.g. the spreadsheet module

set -u
readonly deb=$1 root=$2 version=$3 id=$4
shift 4
. "$(dirname "$0")/../e2e/lib.sh"
require_tools dpkg-deb desktop-file-validate appstreamcli lintian file apt-get

# --- Control data -------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = pellorin ] || fail "the package is named '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "the package has version '$(field Version)', not $version"
for name in Maintainer Section Homepage Description; do
    [ -n "$(field "$name")" ] || fail "the package has no $name"
done
# Computed by dpkg-shlibdeps from what the programs link.
[[ $(field Depends) == *libqt6widgets6* ]] || fail "Depends lacks the Qt libraries: $(field Depends)"
[[ $(field Depends) != *libreoffice* ]] || fail "Depends names LibreOffice: $(field Depends)"
[[ $(field Recommends) == *libreoffice-calc* ]] || fail "Recommends lacks libreoffice-calc"
[[ $(field Recommends) == *qt6-wayland* ]] || fail "Recommends lacks qt6-wayland"

# --- Exactly these files ------------------------------------------------------
expected=(
    usr/bin/pellorin
    usr/lib/pellorin/pellorin
    usr/lib/pellorin/HAND-M.CUR
    "usr/share/applications/$id.desktop"
    "usr/share/metainfo/$id.metainfo.xml"
    usr/bin/pellorin-cli
    usr/share/man/man1/pellorin.1.gz
    usr/share/man/man1/pellorin-cli.1.gz
    usr/share/bash-completion/completions/pellorin-cli
    usr/share/doc/pellorin/copyright
    usr/share/doc/pellorin/changelog.gz
    usr/share/lintian/overrides/pellorin
    "$@"
)
for size in 16 24 32 48 64 128 256; do
    expected+=("usr/share/icons/hicolor/${size}x$size/apps/$id.png")
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . ! -type d -printf '%P\n' | sort) \
    || fail "the package's files differ from the list (< expected, > packaged)"

[ "$(readlink "$root/usr/bin/pellorin")" = ../lib/pellorin/pellorin ] \
    || fail "usr/bin/pellorin is not a relative link to ../lib/pellorin/pellorin"
for size in 16 24 32 48 64 128 256; do
    file -b "$root/usr/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "^PNG image data, $size x $size," \
        || fail "the ${size}px icon is not a $size x $size PNG"
done
for page in "$root"/usr/share/man/man1/*.gz; do
    gzip -t "$page" || fail "$page is not gzip data"
done

# --- What desktops and software centres read ------------------------------------
desktop=$root/usr/share/applications/$id.desktop
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop" >"$work/validate" 2>&1 || { cat "$work/validate"; fail "desktop-file-validate rejects $id.desktop"; }
grep -E ': (error|warning): ' "$work/validate" && fail "desktop-file-validate warns about $id.desktop"
appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli rejects the metainfo"
grep -qx "Icon=$id" "$desktop" || fail "the menu entry does not name the icon $id"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
    || fail "the metainfo does not launch $id.desktop"
for binary in $(sed -n 's:.*<binary>\(.*\)</binary>.*:\1:p' "$metainfo"); do
    [ -x "$root/usr/bin/$binary" ] || fail "the metainfo provides $binary, which is not in usr/bin"
done

# --- The command line and its completion ----------------------------------------
cli=$root/usr/bin/pellorin-cli
said=$("$cli" --version) || fail "pellorin-cli --version failed"
[ "$said" = "pellorin-cli $version" ] || fail "pellorin-cli --version says '$said', not 'pellorin-cli $version'"
# What <Tab> offers after the words given; the last word is being typed.
completions() {
    bash -c '. /usr/share/bash-completion/bash_completion
             . "$1"; shift
             COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
             _pellorin_cli pellorin-cli "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
             printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' \
        _ "$root/usr/share/bash-completion/completions/pellorin-cli" pellorin-cli "$@"
}
while IFS='|' read -r words offered; do
    got=$(completions $words '')
    [ "$got" = "$offered" ] || fail "after 'pellorin-cli $words' completion offers '$got', not '$offered'"
done <<'CASES'
|--help --version check generate 
generate --brand|amex discover mastercard visa 
generate -f|csv json ndjson table text 
CASES

# --- Debian's checks ------------------------------------------------------------
lintian --fail-on error "$deb" || fail "lintian finds errors in the package"
# The dependencies can be installed from the archive.
apt-get install --simulate "$(realpath "$deb")" >"$work/apt" 2>&1 || { cat "$work/apt"; fail "apt cannot install the package"; }
echo "PASS: pellorin $version: control data, ${#expected[@]} files, validators, command line, lintian"
