#!/usr/bin/env bash
# Installs the build into a temporary prefix (menu entry into a temporary
# data folder), checks what landed, and starts the installed program.
set -euo pipefail
build=${1:?build folder}
prefix=$(mktemp -d)
data=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$prefix" "$data"
}
trap cleanup EXIT

XDG_DATA_HOME="$data" cmake --install "$build" --prefix "$prefix" > /dev/null

fail() { echo "FAIL: $*"; exit 1; }
[ -x "$prefix/kavel" ] || fail "no program"
[ -f "$prefix/ObjectifsCanon.txt" ] && [ -f "$prefix/ObjectifsNikon.txt" ] || fail "no lens catalogues"
samples=$(ls "$prefix"/samples/*.jpg | wc -l)
[ "$samples" -ge 30 ] || fail "only $samples samples"
[ -w "$prefix" ] || fail "the program's folder is not writable"
entry="$data/applications/kavel.desktop"
grep -qx "Exec=\"$prefix/kavel\"" "$entry" || fail "menu entry: $(cat "$entry")"
grep -qx "Icon=kavel" "$entry" || fail "menu entry has no icon"
[ -s "$data/icons/hicolor/128x128/apps/kavel.png" ] || fail "no icon"

# The installed program starts (and waits on its welcome box).
QT_QPA_PLATFORM=offscreen "$prefix/kavel" > /dev/null 2>&1 &
pid=$!
sleep 3
kill -0 "$pid" 2>/dev/null || fail "the installed program did not stay up"
echo "install: 1 passed, 0 failed"
