#!/usr/bin/env bash
# Runs a test program under openbox on this X server, once openbox has announced
# itself on the root window, then stops openbox.
openbox > /dev/null 2>&1 &
wm=$!
exec 3< <(exec xprop -root -spy)
spy=$!
grep -q -m1 '^_NET_SUPPORTING_WM_CHECK(WINDOW): window id' <&3
kill $spy
"$@"
rc=$?
kill $wm
wait $wm
exit $rc
