#!/usr/bin/env bash
# The default-style script on a Wayland desktop: a private headless sway, the stand-in scanner
# and Sortwell both as native Wayland clients. The runner waits for the scanner's window,
# switches to it and presses its keys through the Wayland host; the scanner writes a PDF, and
# the desk presents it with the focus, as the compositor's own tree shows. The tray icon sits in
# a notification area on the session bus. A screenshot of the screen is kept.
#   wayland_scan.sh SORTWELL STAND_IN_SCANNER STAND_IN_TRAY_HOST RUN_UNDER_SWAY ARTIFACTS
set -euo pipefail
# shellcheck source=tests/acceptance/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [[ "${1:-}" != --inside ]]; then
    inside_wrapper=(dbus-run-session --)
    run_inside_sway "$0" "$@"
fi

sortwell=$2
scanner=$3
tray_host=$4
artifacts=$5
acceptance_work
kept_logs=(scanner.log sortwell.log tray.log)
shown_folders=("$work/input")

mkdir -p "$work/input" "$work/archive" "$work/copies"
sequence=$scanner_sequence
write_settings "$work/config" \
    "sequence=$sequence" "inputdir=$work/input" active=1 attach=1 autostart=0 columns=3 \
    "icon0=<none>" caption0=Taxes "folder0=$work/archive/%YEAR/Taxes %TAG" hide0= \
    "icon1=<none>" caption1=Home "folder1=$work/archive/Home/%YEAR" hide1=
"$tray_host" >"$work/tray.log" 2>&1 &
pids+=($!)
wait_for 10 "the notification area on the session bus" grep -q ready "$work/tray.log"
export QT_QPA_PLATFORM=wayland
"$scanner" --output "$work/input" --copies "$work/copies" >"$work/scanner.log" 2>&1 &
pids+=($!)
XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" "$sortwell" >"$work/sortwell.log" 2>&1 &
pids+=($!)

scanner_said() { grep -q " $1\$" "$work/scanner.log"; }

wait_for 10 "the tray icon in the notification area" grep -q registered "$work/tray.log"
log "the tray icon registered with the notification area"
wait_for 40 "the runner pressing Enter in the scanner window" scanner_said enter
log "the runner found the scanner window, switched to it and typed into it"
wait_for 40 "the scan" scanner_said "arrived scan0001.pdf"
wait_for 15 "the desk presenting scan0001.pdf with the focus" desk_focused_in_sway
sleep 1 # the preview drawn
screenshot "$artifacts/wayland-desk.png"
[ -f "$work/input/scan0001.pdf" ] || fail "scan0001.pdf is not in the input folder"
log "passed: scanned through the Wayland host, presented with the focus"
