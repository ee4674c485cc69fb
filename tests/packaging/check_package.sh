#!/usr/bin/env bash
# Builds the Debian package of a built tree, unpacks it into a scratch root and checks that
# the program and its preview, its desktop entry, its metainfo and its icons are in place and its dependencies were read
# off the binary.
#   check_package.sh CPACK BUILD_FOLDER OUTPUT_FOLDER
set -euo pipefail

cpack=$1
build=$2
out=$3
rm -rf "$out"
mkdir -p "$out"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 ||
    fail "cpack failed: $(tail -20 "$out/cpack.log")"
shopt -s nullglob
packages=("$out"/prizmo_*.deb)
((${#packages[@]} == 1)) || fail "expected one package, found ${#packages[@]}"
package=${packages[0]}

depends=$(dpkg-deb --field "$package" Depends)
[[ $depends == *libqt6widgets6* && $depends == *libc6* && $depends == *libqt6webenginewidgets6* ]] ||
    fail "dependencies not read off the binaries: '$depends'"

root="$out/root"
dpkg -x "$package" "$root"
[[ -x $root/usr/bin/prizmo ]] || fail "no /usr/bin/prizmo"
[[ -x $root/usr/bin/prizmo-preview ]] || fail "no /usr/bin/prizmo-preview beside it"
# The editor starts as fast as without a preview only if it never loads the web engine.
if objdump -p "$root/usr/bin/prizmo" | grep -i 'NEEDED.*webengine'; then
    fail "prizmo links the web engine"
fi
entry=$root/usr/share/applications/prizmo.desktop
[[ -f $entry ]] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "the installed desktop entry does not validate"
grep -q '^MimeType=text/css;text/html;$' "$entry" && grep -q '^Exec=prizmo %f$' "$entry" ||
    fail "the desktop entry does not offer to open stylesheets"
metainfo=$root/usr/share/metainfo/invalid.prizmo.Prizmo.metainfo.xml
[[ -f $metainfo ]] || fail "no AppStream metainfo"
appstreamcli validate --no-net "$metainfo" || fail "the AppStream metainfo does not validate"
[[ -f $root/usr/share/icons/hicolor/scalable/apps/prizmo.svg ]] || fail "no scalable icon"
png=$root/usr/share/icons/hicolor/64x64/apps/prizmo.png
[[ -f $png ]] || fail "no 64×64 icon"
# A PNG's width and height are the big-endian words at bytes 16 and 20.
size=$(od -An -tx1 -j16 -N8 "$png" | tr -d ' \n')
[[ $size == 0000004000000040 ]] || fail "the PNG icon is not 64×64 (IHDR $size)"
echo "package $package checked"
