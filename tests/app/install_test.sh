#!/usr/bin/env bash
# Installs the build three ways, each with a temporary home: per user (prefix
# in the home, menu entry into a temporary data folder), staged under /usr as
# a package is made, and as the Debian package itself. Checks what landed,
# that the validators accept the desktop files, and starts the program.
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
src=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }
have() {
  command -v "$1" > /dev/null || { echo "SKIP: $1 missing (scripts/setup.sh installs it): $2"; false; }
}
# The program at $1 starts (and waits on its welcome box).
starts() {
  HOME=$tmp/user XDG_DATA_HOME=$tmp/data QT_QPA_PLATFORM=offscreen "$1" > /dev/null 2>&1 &
  pid=$!
  sleep 3
  kill -0 "$pid" 2>/dev/null || fail "$1 did not stay up"
  kill "$pid"; wait "$pid" 2>/dev/null || true; pid=
}
mkdir "$tmp/user" "$tmp/home"

# Per user: everything in the prefix, the menu entry in XDG_DATA_HOME.
prefix=$tmp/user/.local/opt/kavel data=$tmp/data
HOME=$tmp/user XDG_DATA_HOME=$data cmake --install "$build" --prefix "$prefix" > /dev/null
[ -x "$prefix/kavel" ] || fail "no program"
[ -f "$prefix/ObjectifsCanon.txt" ] && [ -f "$prefix/ObjectifsNikon.txt" ] ||
  fail "no lens catalogues"
samples=$(ls "$prefix"/samples/*.jpg | wc -l)
[ "$samples" -ge 30 ] || fail "only $samples samples"
[ -w "$prefix" ] || fail "the program's folder is not writable"
entry="$data/applications/kavel.desktop"
grep -qx "Exec=\"$prefix/kavel\"" "$entry" || fail "menu entry: $(cat "$entry")"
grep -qx "Icon=kavel" "$entry" || fail "menu entry has no icon"
[ -s "$data/icons/hicolor/128x128/apps/kavel.png" ] || fail "no icon"
starts "$prefix/kavel"

# Staged under /usr: the program on bin/, its data (the same on every
# architecture) in share/kavel, the desktop files; nothing in the home.
export HOME=$tmp/home XDG_DATA_HOME=$tmp/home/.local/share
DESTDIR=$tmp/stage cmake --install "$build" --prefix /usr > /dev/null
usr=$tmp/stage/usr share=$tmp/stage/usr/share donnees=$tmp/stage/usr/share/kavel
[ -x "$usr/bin/kavel" ] && [ ! -L "$usr/bin/kavel" ] || fail "no program on bin/"
[ -f "$donnees/ObjectifsCanon.txt" ] && [ "$(ls "$donnees"/samples/*.jpg | wc -l)" -ge 30 ] ||
  fail "no data in share/kavel"
[ ! -e "$usr/lib" ] || fail "installed in lib/: $(find "$usr/lib")"
readelf -S "$usr/bin/kavel" | grep -q '\.symtab' && fail "the installed program is not stripped"
for n in 32 48 64 128 256; do
  file "$share/icons/hicolor/${n}x$n/apps/kavel.png" | grep -q "PNG image data, $n x $n" ||
    fail "no $n px icon"
done
grep -q '<svg' "$share/icons/hicolor/scalable/apps/kavel.svg" || fail "no SVG icon"
grep -qx "Exec=kavel" "$share/applications/kavel.desktop" ||
  fail "desktop entry: $(cat "$share/applications/kavel.desktop")"
grep -qx "Categories=Education;Photography;" "$share/applications/kavel.desktop" ||
  fail "desktop entry: categories"
metainfo=$(ls "$share"/metainfo/*.metainfo.xml)
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
grep -q "<release version=\"$version\"" "$metainfo" || fail "metainfo: no release $version"
# The README's picture, at its own size.
taille=$(file "$src/doc/screenshot.png" |
  sed -n 's/.*PNG image data, \([0-9]*\) x \([0-9]*\),.*/\1 \2/p')
image="<image type=\"source\" width=\"${taille% *}\" height=\"${taille#* }\">"
image="$image[^<]*/screenshot.png</image>"
grep -q "$image" "$metainfo" || fail "metainfo: no screenshot of $taille"
if have desktop-file-validate "desktop entry not validated"; then
  desktop-file-validate "$share/applications/kavel.desktop" > "$tmp/dv.log" ||
    fail "desktop entry refused: $(cat "$tmp/dv.log")"
fi
if have appstreamcli "metainfo not validated"; then
  appstreamcli validate --no-net --pedantic "$metainfo" > "$tmp/as.log" ||
    fail "metainfo refused: $(cat "$tmp/as.log")"
fi
# Free software: the licence at the root, in the AppStream file, and a
# copyright file that names every data file installed with its own licence.
grep -q "GNU GENERAL PUBLIC LICENSE" "$src/COPYING" || fail "no GPL in COPYING"
grep -q "Version 3, 29 June 2007" "$src/COPYING" || fail "no GPL v3 in COPYING"
grep -q "<project_license>GPL-3.0-or-later</project_license>" "$metainfo" ||
  fail "metainfo: licence"
copyright=$share/doc/kavel/copyright
format="Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
head -1 "$copyright" | grep -qx "$format" ||
  fail "copyright: not machine-readable"
licence() { # the licence of the paragraph naming $1
  awk -v RS= -v f="$1" 'index($0, f) && /(^|\n)Files:/' "$copyright" | sed -n 's/^License: //p'
}
for f in $(cd "$donnees" && find . -type f ! -path './samples/*' -printf '%P\n') 'samples/*.jpg'; do
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
  for f in ./usr/bin/kavel ./usr/share/kavel/ObjectifsNikon.txt ./usr/share/kavel/samples/ \
           ./usr/share/applications/kavel.desktop ./usr/share/metainfo/ \
           ./usr/share/icons/hicolor/scalable/apps/kavel.svg ./usr/share/doc/kavel/copyright \
           ./usr/share/doc/kavel/changelog.Debian.gz; do
    grep -q " $f" "$tmp/deb.txt" || fail "the package has no $f"
  done
  dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 ||
    fail "package depends on: $(dpkg-deb -f "$deb" Depends)"
  recommends=$(dpkg-deb -f "$deb" Recommends)
  [ "$recommends" = qt6-translations-l10n ] || fail "package recommends: $recommends"
  if command -v lintian > /dev/null; then
    lintian --fail-on error "$deb" > "$tmp/lintian.log" 2>&1 ||
      fail "lintian: $(cat "$tmp/lintian.log")"
  else
    echo "SKIP: lintian missing (apt-get install lintian): package not checked by lintian"
  fi
  dpkg-deb -x "$deb" "$tmp/x"
  starts "$tmp/x/usr/bin/kavel"
fi

# The site and the contact are the packager's: configured with others, the
# program's links, the package and the AppStream file carry them.
autre=$tmp/autre site=https://ecole.example/kavel contact=prof@ecole.example
cmake -G "Unix Makefiles" -S "$src" -B "$autre" -DKAVEL_BUILD_TESTS=OFF \
      -DKAVEL_BUILD_BENCH=OFF -DKAVEL_SITE=$site -DKAVEL_CONTACT=$contact > /dev/null
make -C "$autre/src" platform/Desktop.cpp.o > /dev/null
for a in $site $contact; do
  grep -q "$a" "$autre"/src/CMakeFiles/kavelui.dir/platform/Desktop.cpp.o || fail "program: no $a"
done
cpack_autre=$autre/CPackConfig.cmake
grep -qx "set(CPACK_DEBIAN_PACKAGE_MAINTAINER \"Kavel <$contact>\")" "$cpack_autre" &&
  grep -qx "set(CPACK_DEBIAN_PACKAGE_HOMEPAGE \"$site\")" "$cpack_autre" ||
  fail "package: $(grep -E 'MAINTAINER|HOMEPAGE' "$cpack_autre")"
grep -q "<url type=\"homepage\">$site</url>" "$autre"/share/metainfo/*.xml &&
  grep -q "<update_contact>$contact</update_contact>" "$autre"/share/metainfo/*.xml ||
  fail "metainfo: $(cat "$autre"/share/metainfo/*.xml)"
[ -z "$(ls -A "$HOME")" ] || fail "written to the home: $(find "$HOME")"
echo "install: 3 passed, 0 failed"
