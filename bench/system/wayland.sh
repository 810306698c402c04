#!/usr/bin/env bash
# The Wayland host's figures on a headless sway: the window list refresh with 50 foot windows
# open, and typing 100 characters into one of them.
# Usage: bench/system/wayland.sh <build folder>     (after: ninja -C <build folder> wayland_timing)
set -euo pipefail

build=${1:?usage: $0 <build folder>}
here=$(cd "$(dirname "$0")" && pwd)
timing="$build/bench/system/wayland_timing"
[[ -x "$timing" ]] || { echo "wayland.sh: build wayland_timing first" >&2; exit 2; }

# Runs inside the compositor's session: opens the windows, waits for all of them, measures.
inside() {
    for i in $(seq 50); do
        foot -T "bench window $i" sleep 600 2>/dev/null &
    done
    for _ in $(seq 300); do
        count=$(swaymsg -t get_tree | grep -c '"name": "bench window' || true)
        ((count >= 50)) && break
        sleep 0.1
    done
    "$1"
    kill $(jobs -p) 2>/dev/null || true
}
export -f inside
exec "$here/../../tests/wayland/run_under_sway.sh" bash -c 'inside "$0"' "$timing"
