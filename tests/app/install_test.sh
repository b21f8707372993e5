#!/usr/bin/env bash
# Installs the build per user, staged under /usr and as the Debian package, each with
# a temporary home; checks what lands, the desktop files, and that each program starts.
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill "$pid" 2> /dev/null || true; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
have() { command -v "$1" > /dev/null || { echo "SKIP: $1 missing: $2"; false; }; }
need() { grep -q "$@" || fail "${*: -1}: no ${*: -2:1}"; } # [grep option] pattern file
# The program at $1 starts: its welcome box is traced on stderr.
starts() {
  exec 3< <(exec env HOME="$tmp/user" XDG_DATA_HOME="$tmp/data" KAVEL_TRACE_DIALOGS=1 \
    QT_QPA_PLATFORM=offscreen "$1" 2>&1 > /dev/null)
  pid=$!
  grep -q -m1 '^kavel-dialog: Kavel | Kavel est' <&3 || fail "$1 did not start"
  kill "$pid"; pid=
  exec 3<&-
}
samples() { [ "$(ls "$1"/samples/*.jpg | wc -l)" -ge 30 ]; }
mkdir "$tmp/user" "$tmp/home"

# Per user: everything in the prefix, the menu entry in XDG_DATA_HOME.
prefix=$tmp/user/.local/opt/kavel data=$tmp/data
HOME=$tmp/user XDG_DATA_HOME=$data cmake --install "$build" --prefix "$prefix" > /dev/null
[ -x "$prefix/kavel" ] || fail "no program"
[ -f "$prefix/ObjectifsCanon.txt" ] && [ -f "$prefix/ObjectifsNikon.txt" ] || fail "no lenses"
samples "$prefix" || fail "fewer than 30 samples"
[ -w "$prefix" ] || fail "the program's folder is not writable"
entry=$data/applications/kavel.desktop
need -x "Exec=\"$prefix/kavel\"" "$entry"
need -x "Icon=kavel" "$entry"
[ -s "$data/icons/hicolor/128x128/apps/kavel.png" ] || fail "no icon"
starts "$prefix/kavel"

# Staged under /usr: the program on bin/, its data (the same on every architecture) in
# share/kavel, the desktop files; nothing in the home.
export HOME=$tmp/home XDG_DATA_HOME=$tmp/home/.local/share
DESTDIR=$tmp/stage cmake --install "$build" --prefix /usr > /dev/null
usr=$tmp/stage/usr share=$tmp/stage/usr/share own=$tmp/stage/usr/share/kavel
[ -x "$usr/bin/kavel" ] && [ ! -L "$usr/bin/kavel" ] || fail "no program on bin/"
[ -f "$own/ObjectifsCanon.txt" ] && samples "$own" || fail "no data in share/kavel"
[ ! -e "$usr/lib" ] || fail "installed in lib/: $(find "$usr/lib")"
readelf -S "$usr/bin/kavel" | grep -q '\.symtab' && fail "the installed program is not stripped"
for n in 32 48 64 128 256; do
  file "$share/icons/hicolor/${n}x$n/apps/kavel.png" | grep -q "PNG image data, $n x $n" ||
    fail "no $n px icon"
done
need '<svg' "$share/icons/hicolor/scalable/apps/kavel.svg"
desktop=$share/applications/kavel.desktop
need -x "Exec=kavel" "$desktop"
need -x "Categories=Education;Photography;" "$desktop"
metainfo=$(ls "$share"/metainfo/*.metainfo.xml)
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
need "<release version=\"$version\"" "$metainfo"
# The README's picture, at its own size.
size=$(file "$src/doc/screenshot.png" | grep -o '[0-9]* x [0-9]*')
image="<image type=\"source\" width=\"${size% x *}\" height=\"${size#* x }\">"
need "$image[^<]*/screenshot.png</image>" "$metainfo"
if have desktop-file-validate "desktop entry not validated"; then
  desktop-file-validate "$desktop" > "$tmp/dv.log" || fail "desktop entry: $(cat "$tmp/dv.log")"
fi
if have appstreamcli "metainfo not validated"; then
  appstreamcli validate --no-net --pedantic "$metainfo" > "$tmp/as.log" ||
    fail "metainfo refused: $(cat "$tmp/as.log")"
fi
# Free software: the GPL at the root and in the AppStream file, and a copyright file
# that names every data file installed with its own licence.
need "GNU GENERAL PUBLIC LICENSE" "$src/COPYING"
need "Version 3, 29 June 2007" "$src/COPYING"
need "<project_license>GPL-3.0-or-later</project_license>" "$metainfo"
copyright=$share/doc/kavel/copyright
format="Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
[ "$(head -1 "$copyright")" = "$format" ] || fail "copyright: not machine-readable"
licence() { # of the paragraph naming $1
  awk -v RS= -v f="$1" 'index($0, f) && /(^|\n)Files:/' "$copyright" | sed -n 's/^License: //p'
}
for f in $(cd "$own" && find . -type f ! -path './samples/*' -printf '%P\n') 'samples/*.jpg'; do
  [ -n "$(licence "$f")" ] || fail "copyright: $f is not named"
done
[ "$(licence data/Boitiers.csv)" = Expat ] || fail "copyright: Boitiers.csv is not under Expat"
starts "$usr/bin/kavel"

# The Debian package, made from its own configuration in a temporary folder.
if have dpkg-shlibdeps "no Debian package made"; then
  (cd "$tmp" && cpack --config "$build/CPackConfig.cmake" -B "$tmp/deb" > "$tmp/cpack.log") ||
    fail "cpack: $(cat "$tmp/cpack.log")"
  deb=$(ls "$tmp"/deb/kavel_"$version"-*.deb)
  dpkg-deb -c "$deb" > "$tmp/deb.txt"
  for f in bin/kavel share/kavel/ObjectifsNikon.txt share/kavel/samples/ share/metainfo/ \
    share/applications/kavel.desktop share/icons/hicolor/scalable/apps/kavel.svg \
    share/doc/kavel/copyright share/doc/kavel/changelog.Debian.gz; do
    need " ./usr/$f" "$tmp/deb.txt"
  done
  depends=$(dpkg-deb -f "$deb" Depends) recommends=$(dpkg-deb -f "$deb" Recommends)
  [[ $depends == *libqt6widgets6* ]] || fail "package depends on: $depends"
  [ "$recommends" = qt6-translations-l10n ] || fail "package recommends: $recommends"
  if have lintian "package not checked by lintian"; then
    lintian --fail-on error "$deb" > "$tmp/lintian.log" 2>&1 ||
      fail "lintian: $(cat "$tmp/lintian.log")"
  fi
  dpkg-deb -x "$deb" "$tmp/x"
  starts "$tmp/x/usr/bin/kavel"
fi

# The site and the contact are the packager's: configured with others, the program's
# links, the package and the AppStream file carry them.
other=$tmp/other site=https://ecole.example/kavel contact=prof@ecole.example
cmake -G "Unix Makefiles" -S "$src" -B "$other" -DKAVEL_BUILD_TESTS=OFF \
  -DKAVEL_BUILD_BENCH=OFF -DKAVEL_SITE=$site -DKAVEL_CONTACT=$contact > /dev/null
make -C "$other/src" platform/Desktop.cpp.o > /dev/null
object=$other/src/CMakeFiles/kavelui.dir/platform/Desktop.cpp.o
for a in $site $contact; do need "$a" "$object"; done
conf=$other/CPackConfig.cmake
need -x "set(CPACK_DEBIAN_PACKAGE_MAINTAINER \"Kavel <$contact>\")" "$conf"
need -x "set(CPACK_DEBIAN_PACKAGE_HOMEPAGE \"$site\")" "$conf"
need "<url type=\"homepage\">$site</url>" "$other"/share/metainfo/*.xml
need "<update_contact>$contact</update_contact>" "$other"/share/metainfo/*.xml
[ -z "$(ls -A "$HOME")" ] || fail "written to the home: $(find "$HOME")"
echo "install: 3 passed, 0 failed"
