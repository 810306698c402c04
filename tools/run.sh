#!/usr/bin/env bash
# Installs what Sortwell needs, builds it and starts it. Without a display, it starts a
# virtual one (Xvfb with a window manager) and says how to look at it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
bash tools/build.sh build-run -DSORTWELL_BUILD_TESTS=OFF -DSORTWELL_BUILD_BENCH=OFF

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    display=:99
    while [ -e "/tmp/.X11-unix/X${display#:}" ]; do
        display=":$((${display#:} + 1))"
    done
    Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/tmp/sortwell-xvfb.log 2>&1 &
    xvfb_pid=$!
    trap 'kill "$xvfb_pid" 2>/dev/null || true' EXIT
    export DISPLAY="$display"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    openbox >/dev/null 2>&1 &
    # A notification area for the tray icon, as a desktop panel would give.
    trayer --edge top --align right --widthtype pixel --width 120 --height 24 >/dev/null 2>&1 &
    echo "No display was found, so Sortwell runs on the virtual display $DISPLAY (Xvfb)."
    echo "To look at it:  DISPLAY=$DISPLAY import -window root sortwell.png"
    echo "Stop it with Ctrl+C."
fi

./build-run/app/sortwell
