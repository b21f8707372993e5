#!/usr/bin/env bash
# Runs a test under openbox, once openbox is up.
openbox > /dev/null 2>&1 &
wm=$!
exec 3< <(exec xprop -root -spy)
spy=$!
grep -q -m1 '^_NET_SUPPORTING_WM_CHECK' <&3
kill $spy
"$@"
rc=$?
kill $wm && wait $wm
exit $rc
