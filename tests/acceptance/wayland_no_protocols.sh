#!/usr/bin/env bash
# The default-style script on a Wayland desktop that lets no program list or type into other
# windows, as GNOME and weston do: Sortwell talks to a private headless sway through a proxy
# that hides the window list and virtual keyboard from it. The first window step stops the
# run with one clear message, and the input folder still brings a scan to the desk, where a
# click files it.
#   wayland_no_protocols.sh SORTWELL REGISTRY_FILTER WAYLAND_CLICK RUN_UNDER_SWAY ARTIFACTS
set -euo pipefail
# shellcheck source=tests/acceptance/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [[ "${1:-}" != --inside ]]; then
    run_inside_sway "$0" "$@"
fi

sortwell=$2
registry_filter=$3
wayland_click=$4
artifacts=$5
acceptance_work
kept_logs=(sortwell.log filter.log)
shown_folders=("$work/input" "$work/archive")
command -v scanimage >/dev/null || fail "scanimage is not installed (package sane-utils)"

readonly message="This desktop lets no program list or type into other windows. Use RUN steps or watch the input folder."
year=$(date +%Y)
mkdir -p "$work/input" "$work/archive"
write_settings "$work/config" \
    "sequence=$scanner_sequence" "inputdir=$work/input" active=1 watchinput=1 attach=1 \
    autostart=0 columns=3 \
    "icon0=<none>" caption0=Scans "folder0=$work/archive/%YEAR" hide0=

hidden_display=wayland-without-window-protocols
"$registry_filter" "$hidden_display" "$WAYLAND_DISPLAY" \
    zwlr_foreign_toplevel_manager_v1 zwp_virtual_keyboard_manager_v1 >"$work/filter.log" 2>&1 &
pids+=($!)
wait_for 10 "the proxy listening" grep -q listening "$work/filter.log"

QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=$hidden_display XDG_CONFIG_HOME="$work/config" \
    XDG_DATA_HOME="$work/data" "$sortwell" >"$work/sortwell.log" 2>&1 &
sortwell_pid=$!
pids+=("$sortwell_pid")

said_times() { grep -cF "$message" "$work/sortwell.log" || true; }
said_once() { [ "$(said_times)" = 1 ]; }
wait_for 20 "the message that this desktop lists no windows" said_once
log "the run stopped at its first window step with the message"

# A scan that another program wrote, moved into the input folder in whole.
scanimage -d test --format=pdf -o "$work/letter.pdf" 2>"$work/scanimage.log" ||
    fail "scanimage failed: $(cat "$work/scanimage.log")"
cp "$work/letter.pdf" "$work/original.pdf"
mv "$work/letter.pdf" "$work/input/letter.pdf"
wait_for 20 "the desk presenting letter.pdf with the focus" desk_focused_in_sway
sleep 1 # the preview drawn
screenshot "$artifacts/wayland-without-window-protocols.png"

eval "$(sway_tree_query rect "Tessaryn Sortwell Desk 1.0")"
desk_x=$X desk_y=$Y
cell=$((($(grid_width) - 4) / 3))
read -r screen_width screen_height < <(swaymsg -t get_outputs |
    python3 -c 'import json, sys; r = json.load(sys.stdin)[0]["rect"]; print(r["width"], r["height"])')
"$wayland_click" $((desk_x + 8 + 2 + cell / 2)) $((desk_y + 104 + (HEIGHT - 156) / 2)) \
    "$screen_width" "$screen_height" ||
    fail "the click on the target did not reach the compositor"
filed="$work/archive/${year}_letter.pdf"
wait_for 10 "letter.pdf filed to the archive" test -f "$filed"
cmp -s "$work/original.pdf" "$filed" || fail "the filed letter.pdf differs from the scan"
[ -z "$(ls -A "$work/input")" ] || fail "the input folder is not empty after the filing"
kill -0 "$sortwell_pid" 2>/dev/null || fail "Sortwell ended"
said_once || fail "the message was said $(said_times) times"
log "passed: one message, and the input folder still presented and filed"
