#!/bin/sh
# Runs a command on a private X server (Xvfb) with a window manager (openbox), through the
# X11 platform plugin, so that window frames, stacking and titles are the real ones.
# Screen size: X11_SCREEN (default 1280x1024x24); resolution: X11_DPI (default 96).
set -e
[ $# -gt 0 ] || { echo "usage: $0 command [arguments...]" >&2; exit 2; }
for tool in xvfb-run openbox xprop; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "$0: $tool is missing; run scripts/install-deps.sh" >&2
        exit 1
    }
done
SCREEN=${X11_SCREEN:-1280x1024x24}
DPI=${X11_DPI:-96}
exec xvfb-run -a -s "-screen 0 $SCREEN -dpi $DPI -nolisten tcp" sh -c '
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    # Wait until the window manager has taken the screen, at most 10 s.
    tries=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
        tries=$((tries + 1))
        if [ $tries -gt 100 ]; then echo "openbox did not start" >&2; kill $wm; exit 1; fi
        sleep 0.1
    done
    QT_QPA_PLATFORM=xcb "$@"
    rc=$?
    kill $wm 2>/dev/null || true
    wait $wm 2>/dev/null || true
    exit $rc
' run-x11 "$@"
