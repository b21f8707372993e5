#!/usr/bin/env bash
# Installs the build per user, staged under /usr and as the Debian package, each with
# a temporary home; checks what lands, the desktop files, and that each program starts.
set -euo pipefail
build=$(cd "${1:?build folder}" && pwd)
tmp=$(mktemp -d)
pid=
trap '[ -z "$pid" ] || kill "$pid" 2> /dev/null || true; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
have() { command -v "$1" > /dev/null || { echo "SKIP: $1 missing: $2"; false; }; }
need() { grep -q "$@" || fail "${*: -1}: no ${*: -2:1}"; } # [grep option] pattern file
run() { "$@" > "$tmp/log" 2>&1 || fail "$1: $(cat "$tmp/log")"; }
starts() { # the program at $1: its welcome box is traced on stderr
  exec 3< <(exec env HOME="$tmp/user" XDG_DATA_HOME="$tmp/data" KAVEL_TRACE_DIALOGS=1 \
    QT_QPA_PLATFORM=offscreen "$1" 2>&1 > /dev/null)
  pid=$!
  grep -q -m1 '^kavel-dialog: Kavel | Kavel est' <&3 || fail "$1 did not start"
  kill "$pid"; pid=
  exec 3<&-
}
data() { # the catalogues and the samples
  [ -f "$1/ObjectifsNikon.txt" ] && [ "$(ls "$1"/samples/*.jpg | wc -l)" -ge 30 ] ||
    fail "no data in $1"
}
mkdir "$tmp/user" "$tmp/home"

# Per user: everything in the prefix, the menu entry in XDG_DATA_HOME.
prefix=$tmp/user/.local/opt/kavel
HOME=$tmp/user XDG_DATA_HOME=$tmp/data cmake --install "$build" --prefix "$prefix" > /dev/null
data "$prefix"
need -x "Exec=\"$prefix/kavel\"" "$tmp/data/applications/kavel.desktop"
[ -s "$tmp/data/icons/hicolor/128x128/apps/kavel.png" ] || fail "no icon"
starts "$prefix/kavel"

# Staged under /usr: the program, stripped, in bin/, its data in share/kavel, the desktop
# files; nothing in lib/ nor in the home.
export HOME=$tmp/home XDG_DATA_HOME=$tmp/home/.local/share
DESTDIR=$tmp/stage cmake --install "$build" --prefix /usr > /dev/null
usr=$tmp/stage/usr share=$tmp/stage/usr/share
data "$share/kavel"
[ ! -e "$usr/lib" ] || fail "installed in lib/"
readelf -S "$usr/bin/kavel" | grep -q '\.symtab' && fail "the installed program is not stripped"
for n in 32 48 256; do
  file "$share/icons/hicolor/${n}x$n/apps/kavel.png" | grep -q " $n x $n," || fail "no $n px icon"
done
desktop=$share/applications/kavel.desktop metainfo=$(ls "$share"/metainfo/*.metainfo.xml)
need -x "Exec=kavel" "$desktop"
need -x "Categories=Education;Photography;" "$desktop"
need '<svg' "$share/icons/hicolor/scalable/apps/kavel.svg"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
need "<release version=\"$version\"" "$metainfo"
need "<project_license>GPL-3.0-or-later</project_license>" "$metainfo"
! have desktop-file-validate "desktop entry not validated" || run desktop-file-validate "$desktop"
! have appstreamcli "metainfo not validated" ||
  run appstreamcli validate --no-net --pedantic "$metainfo"
# A machine-readable copyright file naming each data file.
copyright=$share/doc/kavel/copyright
need -x "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" "$copyright"
for f in $(cd "$share/kavel" && find . -type f ! -path './samples/*' -printf '%P\n'); do
  need "^Files:.*$f" "$copyright"
done
[ "$(awk -v RS= '/Files:[^\n]*Boitiers.csv/' "$copyright" | sed -n 's/^License: //p')" = Expat ] ||
  fail "Boitiers.csv is not under Expat"
starts "$usr/bin/kavel"

# The Debian package, made from its own configuration.
if have dpkg-shlibdeps "no Debian package made"; then
  (cd "$tmp" && run cpack --config "$build/CPackConfig.cmake" -B "$tmp/deb")
  deb=$(ls "$tmp"/deb/kavel_"$version"-*.deb)
  [[ $(dpkg-deb -f "$deb" Depends) == *libqt6widgets6* ]] || fail "the package needs no Qt"
  [ "$(dpkg-deb -f "$deb" Recommends)" = qt6-translations-l10n ] || fail "no Qt in French"
  ! have lintian "package not checked by lintian" || run lintian --fail-on error "$deb"
  dpkg-deb -x "$deb" "$tmp/x"
  data "$tmp/x/usr/share/kavel"
  starts "$tmp/x/usr/bin/kavel"
fi
[ -z "$(ls -A "$HOME")" ] || fail "written to the home: $(find "$HOME")"
echo "install: 3 passed, 0 failed"
