#!/usr/bin/env bash
# A real scan through SANE's test backend: the runner's RUN step starts scanimage, which writes
# a PDF into the input folder, HANDLEDOCUMENT presents it, and a click files it byte for byte.
# Run under tests/x11/run_under_xvfb.sh.
#   real_scan.sh SORTWELL ARTIFACTS_FOLDER
set -euo pipefail

sortwell=$(realpath "$1")
# shellcheck source=tests/acceptance/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
acceptance_begin "$2"
kept_logs=(sortwell.log)
shown_folders=("$work/input" "$work/archive")

command -v scanimage >/dev/null || fail "scanimage is not installed (package sane-utils)"
year=$(date +%Y)
mkdir -p "$work/input" "$work/archive"
sequence='RUN:scanimage -d test --format=pdf -o %INPUTDIR/scan-%DATETIME.pdf`HANDLEDOCUMENT'
write_settings "$work/config" \
    "sequence=$sequence" "inputdir=$work/input" active=0 attach=1 autostart=0 columns=3 \
    "icon0=<none>" caption0=Scans "folder0=$work/archive/%YEAR" hide0=

XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" "$sortwell" >"$work/sortwell.log" 2>&1 &
pids+=($!)
wait_for 20 "the desk window appearing" desk_visible
# Switching Active on is the user's say-so for the sequence they have in front of them.
xdotool windowactivate --sync "$(desk_window)"
eval "$(xdotool getwindowgeometry --shell "$(desk_window)")"
click_desk 20 $((HEIGHT - (424 - 379) + 12)) # the Active box, above the status bar
# The sequence came from the settings file, not from the dialog: it asks once before it runs.
question() { xdotool search --onlyvisible --name '^Sortwell automation$' 2>/dev/null | head -1; }
asked() { [ -n "$(question)" ]; }
wait_for 10 "the question before running scanimage" asked
xdotool windowactivate --sync "$(question)"
xdotool key y
scan_written() { [ -n "$(find "$work/input" -name 'scan-*.pdf' -size +0)" ]; }
wait_for 30 "scanimage writing a scan into the input folder" scan_written
scan=$(find "$work/input" -name 'scan-*.pdf' | head -1)
name=$(basename "$scan")
[[ $name =~ ^scan-[0-9]{8}-[0-9]{6}-[0-9]{3}\.pdf$ ]] || fail "the scan's name $name has no date and time"
wait_for 15 "the scan on the desk" desk_visible
sleep 2.5 # the move waits for a quiet file
cp "$scan" "$work/expected.pdf"
click_target 0
filed="$work/archive/${year}_$name"
wait_for 10 "filing $name to $filed" test -f "$filed"
cmp "$work/expected.pdf" "$filed" || fail "the filed document differs from the scan"
log "passed: $name scanned by SANE and filed byte for byte"
