#!/usr/bin/env bash
# Pictures the main window as a user sees it after start-up (on a virtual X
# server, welcome box not yet shown) into doc/screenshot.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" build
out=${1:-$root/doc/screenshot.png}
mkdir -p "$(dirname "$out")"

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -e
  QT_QPA_PLATFORM=xcb "$1/build/bin/kavel" & pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  for i in $(seq 50); do
    win=$(xdotool search --onlyvisible --name "^Kavel - Logiciel didactique$" 2>/dev/null | head -1) && [ -n "$win" ] && break
    sleep 0.2
  done
  [ -n "$win" ] || { echo "no window" >&2; exit 1; }
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$win")"
  QT_QPA_PLATFORM=xcb "$1/build/bin/grabscreen" "$2" "$X" "$Y" "$WIDTH" "$HEIGHT"
' _ "$root" "$out"
echo "wrote $out"
