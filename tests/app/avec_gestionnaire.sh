#!/bin/sh
# Runs a test program under a window manager (openbox) on the X server
# this script runs in, and stops the window manager afterwards.
openbox >/dev/null 2>&1 &
wm=$!
# The window manager announces itself on the root window.
i=0
while ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
  i=$((i + 1))
  if [ $i -gt 100 ]; then
    echo "the window manager did not start" >&2
    kill $wm 2>/dev/null
    exit 1
  fi
  sleep 0.1
done
"$@"
rc=$?
kill $wm 2>/dev/null
wait $wm 2>/dev/null
exit $rc
