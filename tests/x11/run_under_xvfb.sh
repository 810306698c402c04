#!/usr/bin/env bash
# Runs a command on a private X display: Xvfb on a free display number with the openbox window
# manager. Both are torn down whatever happens; the command's exit status is the script's.
# Usage: run_under_xvfb.sh <command> [arguments...]
set -euo pipefail

if (($# == 0)); then
    echo "usage: $0 <command> [arguments...]" >&2
    exit 2
fi

readonly startup_seconds=20
workdir=$(mktemp -d "${TMPDIR:-/tmp}/sortwell-xvfb-XXXXXX")
xvfb_pid=""
openbox_pid=""

tear_down() {
    if [[ -n "$openbox_pid" ]]; then
        kill "$openbox_pid" 2>/dev/null || true
        wait "$openbox_pid" 2>/dev/null || true
    fi
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$workdir"
}
trap tear_down EXIT
trap 'exit 130' INT TERM

fail() {
    echo "run_under_xvfb: $*" >&2
    for log in "$workdir"/*.log; do
        [[ -s "$log" ]] && { echo "--- $(basename "$log")" >&2; cat "$log" >&2; }
    done
    exit 1
}

# Polls `check` ten times a second until it succeeds, or gives up after the start-up time.
wait_until() {
    local what=$1
    shift
    for ((tick = 0; tick < startup_seconds * 10; tick++)); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$what did not come up within ${startup_seconds} s"
}

command -v Xvfb >/dev/null || fail "Xvfb is not installed (Debian package xvfb)"
command -v openbox >/dev/null || fail "openbox is not installed (Debian package openbox)"
command -v xprop >/dev/null || fail "xprop is not installed (Debian package x11-utils)"

# Xvfb picks a free display itself and writes its number once it accepts connections.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 3>"$workdir/display" \
    >"$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!

xvfb_has_answered() {
    kill -0 "$xvfb_pid" 2>/dev/null || fail "Xvfb could not start"
    grep -qE '^[0-9]+$' "$workdir/display" 2>/dev/null
}
wait_until "Xvfb" xvfb_has_answered
export DISPLAY=":$(head -n 1 "$workdir/display")"
unset WAYLAND_DISPLAY
export XDG_SESSION_TYPE=x11
mkdir -m 700 "$workdir/runtime"
export XDG_RUNTIME_DIR="$workdir/runtime"

openbox --sm-disable >"$workdir/openbox.log" 2>&1 &
openbox_pid=$!

openbox_manages() {
    kill -0 "$openbox_pid" 2>/dev/null || fail "openbox could not start"
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}
wait_until "openbox" openbox_manages

set +e
"$@"
status=$?
set -e
exit "$status"
