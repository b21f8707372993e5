#!/usr/bin/env bash
# Pictures the main window as a user sees it after start-up, with the sample
# photos in its base (on a virtual X server, welcome box not yet shown),
# into doc/screenshot.png.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh" build
out=${1:-$root/doc/screenshot.png}
mkdir -p "$(dirname "$out")"

# A program folder of its own: the program, its catalogues, the samples and their base.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$root/build/bin/kavel" "$root"/data/*.txt "$root"/data/*.csv "$folder/"
"$root/build/bin/makesamples" "$folder/samples" "$folder/BasePhotos.txt"

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -e
  QT_QPA_PLATFORM=xcb "$1/kavel" & pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  for i in $(seq 50); do
    win=$(xdotool search --onlyvisible --name "^Kavel - Logiciel didactique$" 2>/dev/null | head -1) && [ -n "$win" ] && break
    sleep 0.2
  done
  [ -n "$win" ] || { echo "no window" >&2; exit 1; }
  sleep 1.5
  eval "$(xdotool getwindowgeometry --shell "$win")"
  QT_QPA_PLATFORM=xcb "$2/build/bin/grabscreen" "$3" "$X" "$Y" "$WIDTH" "$HEIGHT"
' _ "$folder" "$root" "$out"
echo "wrote $out"
