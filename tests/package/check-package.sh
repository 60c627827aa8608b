#!/bin/bash
# Checks one built package and what it installs (unpacked by
# unpack-package.sh into ROOT): its control data, description and maintainer
# scripts, its exact file list, and what it ships checked as its users' tools
# see it. lintian looks at all packages at once (package_lintian).
#
# Usage: check-package.sh PACKAGE DEB ROOT VERSION RELEASE-DATE APP-ID PROGRAM-DIR
#   PACKAGE      pellorin-cli, pellorin, pellorin-calc, pellorin-web, libpellorin-dev or
#                python3-pellorin
#   PROGRAM-DIR  the window's private folder below /usr, e.g. lib/x86_64-linux-gnu/pellorin

set -u
readonly package=$1 deb=$2 root=$3 version=$4 released=$5 id=$6 programdir=$7
. "$(dirname "$0")/../e2e/lib.sh"
require_tools dpkg-deb desktop-file-validate appstreamcli file ar nm pkg-config

# --- Control data -------------------------------------------------------------
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = "$package" ] || fail "the package is named '$(field Package)', not $package"
[ "$(field Version)" = "$version" ] || fail "$package has version '$(field Version)', not $version (CMakeLists.txt and debian/changelog disagree)"
changelog=$(zcat "$root/usr/share/doc/$package/changelog.gz") || fail "$package has no changelog"
[ "$(dpkg-parsechangelog -l - -S Timestamp <<<"$changelog")" = "$(date -u -d "$released" +%s)" ] \
    || fail "the changelog of $package is not dated $released, the release date in CMakeLists.txt"
# xz, the format dpkg prefers.
[ "$(ar t "$deb" | tr '\n' ' ')" = "debian-binary control.tar.xz data.tar.xz " ] \
    || fail "$package is not compressed with xz: $(ar t "$deb" | tr '\n' ' ')"
# dpkg leaves out Source where it is the package's own name.
source=$(field Source)
[ "${source:-$package}" = pellorin ] || fail "$package is not built from the source pellorin: '$source'"
for name in Maintainer Section Homepage Description Installed-Size; do
    [ -n "$(field "$name")" ] || fail "$package has no $name"
done
# The description as apt shows it: a synopsis, then the paragraph shared by
# all packages, then the package's own, which quotes a button intact.
description=$(field Description)
about='Pellorin makes batches of well-formed test payment-card numbers for testers'
grep -qx " $about" <<<"$description" || fail "$package's description lacks the shared paragraph"
grep -E '[A-Za-z];[A-Za-z]' <<<"$description" && fail "$package's description has words run together by ';'"
while IFS='|' read -r name synopsis own; do
    [ "$name" = "$package" ] || continue
    [ "$(head -n 1 <<<"$description")" = "$synopsis" ] || fail "$package's synopsis is '$(head -n 1 <<<"$description")'"
    grep -qxF " $own" <<<"$description" || fail "$package's description lacks the line: $own"
done <<'DESCRIPTIONS'
pellorin-cli|generator of test payment-card numbers (command line)|no display, no Qt and no office, so it suits a bare container.
pellorin|generator of test payment-card numbers (desktop window)|The window makes numbers of Visa, Mastercard, American Express or Discover.
pellorin-calc|LibreOffice Calc module of the Pellorin card-number window|This module lets the window's "Save Results As Excel File" send the numbers
pellorin-web|generator of test payment-card numbers (static web page)|/usr/share/pellorin-web: open its index.html in a browser straight from
libpellorin-dev|generator of test payment-card numbers (C++ library)|This package is the generator as a C++20 library for a program's own tests:
python3-pellorin|generator of test payment-card numbers (Python 3 module)|tests: "import pellorin" makes numbers and records and checks them as
DESCRIPTIONS
# The command line and the page make every network the command line knows
# (pellorin-cli brands, from the package unpacked beside this one), and say so.
if [[ $package == pellorin-cli || $package == pellorin-web ]]; then
    "$(dirname "$root")/pellorin-cli/usr/bin/pellorin-cli" brands >"$work/brands" || fail "pellorin-cli brands failed"
    start=$(head -n 1 "$work/brands" | grep -bo NETWORK | cut -d: -f1)
    end=$(head -n 1 "$work/brands" | grep -bo LENGTHS | cut -d: -f1)
    mapfile -t networks < <(awk -v s="$start" -v n="$((end - start))" \
        'NR > 1 && /^[a-z]/ { name = substr($0, s + 1, n); sub(/ +$/, "", name); print name }' "$work/brands")
    [ "${#networks[@]}" -ge 16 ] || fail "pellorin-cli brands lists only ${#networks[@]} networks"
    flat=$(tr '\n' ' ' <<<"$description" | tr -s ' ')
    grep -qF "${#networks[@]} card networks" <<<"$flat" || fail "$package's description does not say it makes ${#networks[@]} networks"
    for network in "${networks[@]}"; do
        grep -qF " $network" <<<"$flat" || fail "$package's description does not name $network"
    done
fi
# Neither the command line nor the page serves another architecture's
# programs: any architecture's may satisfy a dependency on them.
case $package in
pellorin-cli | pellorin-web) multiarch=foreign ;;
# Headers and a static library per architecture, side by side.
libpellorin-dev) multiarch=same ;;
# dpkg-deb gives a field left out as its default, no.
*) multiarch=no ;;
esac
[ "$(field Multi-Arch)" = "$multiarch" ] || fail "$package is Multi-Arch '$(field Multi-Arch)', not '$multiarch'"
depends=$(field Depends)
has() { [[ ", $1," == *", $2"[\ ,]* ]]; }
lacks() { ! grep -Eq "$2" <<<"$1"; }
case $package in
pellorin-cli)
    # dpkg-shlibdeps finds the C and C++ runtimes, and nothing else.
    has "$depends" libc6 && has "$depends" libstdc++6 || fail "Depends lacks the C or C++ runtime: $depends"
    lacks "$depends" 'qt|libreoffice|uno|x11|xcb' || fail "pellorin-cli depends on the desktop: $depends"
    [ -z "$(field Recommends)$(field Suggests)" ] || fail "pellorin-cli recommends or suggests packages"
    ;;
pellorin)
    has "$depends" libqt6widgets6 || fail "Depends lacks the Qt libraries: $depends"
    # The fonts the layout is measured for; no library of the window shows them.
    has "$depends" fonts-liberation2 || fail "Depends lacks fonts-liberation2: $depends"
    lacks "$depends" 'libreoffice|uno' || fail "the window depends on the office: $depends"
    [ "$(field Recommends)" = "pellorin-calc, qt6-wayland" ] || fail "Recommends is '$(field Recommends)'"
    [ "$(field Suggests)" = pellorin-cli ] || fail "Suggests is '$(field Suggests)'"
    ;;
pellorin-calc)
    has "$depends" libreoffice-calc || fail "Depends lacks libreoffice-calc: $depends"
    has "$depends" "pellorin (= $version)" || fail "Depends lacks pellorin (= $version): $depends"
    has "$depends" libuno-cppu3 || fail "Depends lacks the UNO libraries the module links: $depends"
    ;;
pellorin-web)
    # A folder of static files: one package for every architecture, needing
    # nothing; a browser or a server is the user's choice.
    [ "$(field Architecture)" = all ] || fail "pellorin-web is built for '$(field Architecture)', not all"
    [ -z "$depends$(field Recommends)" ] || fail "pellorin-web depends on or recommends packages: $depends $(field Recommends)"
    [ "$(field Suggests)" = "chromium | firefox-esr | www-browser" ] || fail "Suggests is '$(field Suggests)'"
    ;;
libpellorin-dev)
    # A static library: what a test links is copied into it, so nothing is
    # needed at run time, and every architecture's can be installed at once.
    [ -z "$depends" ] || fail "libpellorin-dev depends on packages: $depends"
    [ "$(field Multi-Arch)" = same ] || fail "libpellorin-dev is not Multi-Arch: same"
    [ "$(field Section)" = libdevel ] || fail "libpellorin-dev is in section '$(field Section)', not libdevel"
    ;;
python3-pellorin)
    # dh_python3 names the Python the module was built for; dpkg-shlibdeps
    # the C and C++ runtimes.
    has "$depends" python3 && has "$depends" libstdc++6 || fail "Depends lacks Python 3 or the C++ runtime: $depends"
    lacks "$depends" 'qt|libreoffice|uno|x11|xcb|faker|pytest' || fail "python3-pellorin depends on too much: $depends"
    [ "$(field Section)" = python ] || fail "python3-pellorin is in section '$(field Section)', not python"
    ;;
*) fail "unknown package $package" ;;
esac
# The module is private, off the library search path: nothing to tell ldconfig.
dpkg-deb -e "$deb" "$work/control" || fail "the control data of $package cannot be read"
! grep -rl ldconfig "$work/control" || fail "a maintainer script of $package calls ldconfig"

# --- Exactly these files ------------------------------------------------------
case $package in
pellorin-cli)
    expected=(
        usr/bin/pellorin-cli
        usr/share/man/man1/pellorin-cli.1.gz
        usr/share/bash-completion/completions/pellorin-cli
        usr/share/zsh/vendor-completions/_pellorin-cli
        usr/share/fish/vendor_completions.d/pellorin-cli.fish
    )
    ;;
pellorin)
    expected=(
        usr/bin/pellorin
        "usr/$programdir/pellorin"
        usr/share/pellorin/HAND-M.CUR
        "usr/share/applications/$id.desktop"
        "usr/share/metainfo/$id.metainfo.xml"
        usr/share/man/man1/pellorin.1.gz
        "usr/share/icons/hicolor/scalable/apps/$id.svg"
    )
    for size in 16 24 32 48 64 128 256; do
        expected+=("usr/share/icons/hicolor/${size}x$size/apps/$id.png")
    done
    ;;
pellorin-calc)
    expected=(
        "usr/$programdir/libpellorin-calc.so"
        usr/share/lintian/overrides/pellorin-calc
    )
    ;;
pellorin-web)
    expected=(usr/share/lintian/overrides/pellorin-web)
    for file in index.html pellorin.js pellorin.css README.txt; do
        expected+=("usr/share/pellorin-web/$file")
    done
    ;;
libpellorin-dev)
    # The public headers alone; the build type is debhelper's, None.
    libdir=usr/${programdir%/pellorin}
    expected=("$libdir/libpellorin.a" "$libdir/pkgconfig/pellorin.pc")
    for file in PellorinConfig PellorinConfigVersion PellorinTargets PellorinTargets-none; do
        expected+=("$libdir/cmake/Pellorin/$file.cmake")
    done
    for header in pellorin request refusal generate check networks; do
        expected+=("usr/include/pellorin/$header.h")
    done
    ;;
python3-pellorin)
    site=usr/lib/python3/dist-packages
    suffix=$(/usr/bin/python3 -c 'import sysconfig; print(sysconfig.get_config_var("EXT_SUFFIX"))')
    expected=("$site/pellorin/_pellorin$suffix")
    for file in __init__.py _records.py faker.py pytest_plugin.py _pellorin.pyi py.typed; do
        expected+=("$site/pellorin/$file")
    done
    for file in METADATA entry_points.txt top_level.txt; do
        expected+=("$site/pellorin-$version.dist-info/$file")
    done
    ;;
esac
expected+=("usr/share/doc/$package/copyright" "usr/share/doc/$package/changelog.gz")
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$root" && find . ! -type d -printf '%P\n' | sort) \
    || fail "the files of $package differ from the list (< expected, > packaged)"

grep -qx 'License: Expat' "$root/usr/share/doc/$package/copyright" \
    && grep -qx 'Copyright: 2026 The Pellorin authors' "$root/usr/share/doc/$package/copyright" \
    || fail "the copyright file of $package does not grant the MIT (Expat) licence of The Pellorin authors"
for page in "$root"/usr/share/man/man1/*.gz; do
    [ -e "$page" ] || continue
    gzip -t "$page" || fail "$page is not gzip data"
done

# --- What each package's users run -----------------------------------------------
case $package in
pellorin-cli)
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
|--help --version brands check generate 
generate --brand|amex dankort diners discover elo hipercard jcb maestro mastercard mir rupay troy uatp unionpay verve visa 
generate --invalid|code expiry length luhn month prefix 
generate -f|csv json ndjson table text tsv 
CASES
    ;;
pellorin)
    [ "$(readlink "$root/usr/bin/pellorin")" = "../$programdir/pellorin" ] \
        || fail "usr/bin/pellorin is not a relative link to ../$programdir/pellorin"
    for size in 16 24 32 48 64 128 256; do
        file -b "$root/usr/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "^PNG image data, $size x $size," \
            || fail "the ${size}px icon is not a $size x $size PNG"
    done
    file -b "$root/usr/share/icons/hicolor/scalable/apps/$id.svg" | grep -q '^SVG Scalable Vector Graphics image' \
        || fail "the scalable icon is not SVG"
    desktop=$root/usr/share/applications/$id.desktop
    metainfo=$root/usr/share/metainfo/$id.metainfo.xml
    desktop-file-validate "$desktop" >"$work/validate" 2>&1 || { cat "$work/validate"; fail "desktop-file-validate rejects $id.desktop"; }
    # Hints too: two main categories put the program twice in some menus.
    grep -E ': (error|warning|hint): ' "$work/validate" && fail "desktop-file-validate has remarks on $id.desktop"
    grep -qx 'Categories=Development;' "$desktop" || fail "the menu entry is not in Development alone"
    appstreamcli validate --no-net --strict "$metainfo" || fail "appstreamcli rejects the metainfo"
    grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "the metainfo names no MIT licence"
    grep -qx "Icon=$id" "$desktop" || fail "the menu entry does not name the icon $id"
    grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo has no release $version"
    # A software centre offers to install the package for each binary named.
    for binary in $(sed -n 's|.*<binary>\(.*\)</binary>.*|\1|p' "$metainfo"); do
        [ -e "$root/usr/bin/$binary" ] || fail "the metainfo names the binary $binary, which $package does not ship"
    done
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
        || fail "the metainfo does not launch $id.desktop"
    ;;
pellorin-web)
    page=$root/usr/share/pellorin-web
    # Every file the page names is in the folder, and it names no other host.
    while read -r file; do
        # data: holds its bytes inline (the icon), so nothing is fetched.
        [[ $file == data:* ]] && continue
        [[ $file != *:* && $file != /* ]] || fail "index.html loads $file from outside its folder"
        [ -f "$page/$file" ] || fail "index.html loads $file, which the package lacks"
    done < <(grep -oE '(src|href)="[^"#]+"' "$page/index.html" | sed -E 's/^[a-z]+="//; s/"$//')
    grep -q 'src="pellorin.js"' "$page/index.html" || fail "index.html does not load pellorin.js"
    grep -qF 'python3 -m http.server --directory /usr/share/pellorin-web' "$page/README.txt" \
        || fail "README.txt does not tell how to serve the installed folder"
    # The engine is inside the script; neither may keep the build's folder.
    grep -q 'pe_generate_open' "$page/pellorin.js" || fail "pellorin.js lacks the engine"
    grep -lE "obj-[a-z0-9_]+-linux-gnu|/pellorin-$version/" "$page"/* && fail "the page keeps the build's folder"
    ;;
libpellorin-dev)
    pc=$root/$libdir/pkgconfig/pellorin.pc
    pkg-config --validate "$pc" || fail "pkg-config rejects pellorin.pc"
    [ "$(PKG_CONFIG_PATH=${pc%/*} pkg-config --modversion pellorin)" = "$version" ] \
        || fail "pellorin.pc has version '$(PKG_CONFIG_PATH=${pc%/*} pkg-config --modversion pellorin)', not $version"
    # The library holds the layers below the API, and names no build folder.
    nm -C "$root/$libdir/libpellorin.a" 2>/dev/null | grep -q ' T pellorin::check(' \
        || fail "libpellorin.a lacks pellorin::check"
    grep -rlE "obj-[a-z0-9_]+-linux-gnu|/pellorin-$version/" "$root/$libdir/cmake" "$pc" \
        && fail "the CMake or pkg-config files keep the build's folder"
    ;;
python3-pellorin)
    # Debian's python3 imports it from the unpacked folder, at its version,
    # and pytest's plugin search finds its entry point.
    PYTHONPATH=$root/$site /usr/bin/python3 - "$version" <<'PY' || fail "python3 cannot use the packaged module"
import sys, importlib.metadata as metadata
import pellorin
assert pellorin.__version__ == sys.argv[1], pellorin.__version__
assert pellorin.check(pellorin.generate("amex", 10)).valid
found = [e.value for e in metadata.entry_points(group="pytest11") if e.name == "pellorin"]
assert found == ["pellorin.pytest_plugin"], found
PY
    ;;
esac

echo "PASS: $package $version: control data, description, ${#expected[@]} files, what it ships"
