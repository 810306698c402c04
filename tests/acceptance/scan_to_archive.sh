#!/usr/bin/env bash
# A scan from the scanner window to the archive, driven as a person would: the real program,
# the stand-in scanner and a notification area on an X server (run this under
# tests/x11/run_under_xvfb.sh), input only by synthesised mouse and keys.
#   scan_to_archive.sh SORTWELL STAND_IN_SCANNER ARTIFACTS_FOLDER
# With SORTWELL_DESK_SCREENSHOT set, the screenshot of a document on the desk is also saved
# there. Timings go to ARTIFACTS_FOLDER/timings.txt; screenshots and logs stay there on failure.
set -euo pipefail

sortwell=$(realpath "$1")
scanner=$(realpath "$2")
# shellcheck source=tests/acceptance/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
acceptance_begin "$3"
kept_logs=(scanner.log sortwell.log second-start.log)
shown_folders=("$work/input" "$work/archive")

year=$(date +%Y)
month=$(date +%m)
mkdir -p "$work/input" "$work/archive" "$work/copies"
sequence=$scanner_sequence
write_settings "$work/config" \
    "sequence=$sequence" "inputdir=$work/input" active=1 attach=1 autostart=0 columns=3 \
    "icon0=<none>" caption0=Taxes "folder0=$work/archive/%YEAR/Taxes/%MONTH %TAG" hide0= \
    "icon1=<none>" caption1=Health "folder1=$work/archive/%NAME/Health/%YEAR-%MONTH" hide1= \
    "icon2=<none>" caption2=Home "folder2=$work/archive/Home/%YEAR %TAG %NAME" hide2= \
    name0=Anna name1=Ben selectedname=0

trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
    >"$work/trayer.log" 2>&1 &
pids+=($!)
"$scanner" --output "$work/input" --copies "$work/copies" >"$work/scanner.log" 2>&1 &
scanner_pid=$!
pids+=($!)
XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" "$sortwell" >"$work/sortwell.log" 2>&1 &
pids+=($!)
started=$(now_ms)

log "waiting for the desk to go to the tray"
wait_for 20 "the desk window appearing" desk_exists
wait_for 20 "the desk going to the tray" desk_hidden

# 1: filed with a tag.
wait_for 40 "the first scan" scanner_said "arrived scan0001.pdf"
wait_for 15 "the first scan on the desk" desk_visible
shown=$(now_ms)
arrived=$(said_at "arrived scan0001.pdf")
log "scan0001.pdf on the desk $((shown - arrived)) ms after it arrived"
sleep 0.7 # drawn by then
import -window "$(desk_window)" -frame "$artifacts/scan-on-desk.png"
if [ -n "${SORTWELL_DESK_SCREENSHOT:-}" ]; then
    cp "$artifacts/scan-on-desk.png" "$SORTWELL_DESK_SCREENSHOT"
fi
xdotool windowactivate --sync "$(desk_window)"
xdotool type --delay 40 'Tax Office: letter'
wait_until_quiet scan0001.pdf
click_target 0
filed="$work/archive/$year/Taxes/$month Tax_Office_letter_scan0001.pdf"
wait_for 10 "filing scan0001.pdf to $filed" test -f "$filed"
cmp "$work/copies/scan0001.pdf" "$filed" || fail "the filed document differs from the scan"
[ ! -e "$work/input/scan0001.pdf" ] || fail "scan0001.pdf is still in the input folder"
wait_for 10 "the desk going back to the tray" desk_hidden
log "scan0001.pdf filed byte for byte"

# 2: dismissed.
wait_for 40 "the second scan" scanner_said "arrived scan0002.pdf"
wait_for 15 "the second scan on the desk" desk_visible
arrived2=$(said_at "arrived scan0002.pdf")
shown2=$(now_ms)
wait_until_quiet scan0002.pdf
click_desk 97 82
wait_for 10 "dismissing scan0002.pdf" test ! -e "$work/input/scan0002.pdf"
[ -z "$(find "$work/archive" -name '*scan0002*')" ] || fail "the dismissed scan was filed"
wait_for 10 "the desk going back to the tray" desk_hidden
log "scan0002.pdf dismissed"

# 3: filed onto a name that is taken: nothing is overwritten, the scan stays on the desk with
# the reason until it is dismissed.
taken="$work/archive/Anna/Health/$year-${month}_scan0003.pdf"
mkdir -p "$(dirname "$taken")"
echo "an older document" >"$taken"
wait_for 40 "the third scan" scanner_said "arrived scan0003.pdf"
wait_for 15 "the third scan on the desk" desk_visible
arrived3=$(said_at "arrived scan0003.pdf")
shown3=$(now_ms)
wait_until_quiet scan0003.pdf
click_target 1
sleep 1.5
desk_visible || fail "the desk hid although scan0003.pdf was not filed"
[ "$(cat "$taken")" = "an older document" ] || fail "the older document was overwritten"
cmp "$work/copies/scan0003.pdf" "$work/input/scan0003.pdf" ||
    fail "scan0003.pdf did not stay whole in the input folder"
import -window root "$artifacts/taken-name.png" 2>/dev/null || true
log "scan0003.pdf not filed onto the taken name, and kept on the desk"
xdotool windowactivate --sync "$(desk_window)"
xdotool key alt+d
wait_for 10 "the desk going back to the tray" desk_hidden

# 4: filed to the wrong target, taken back with Ctrl+Z and filed again to the right one. The
# automation is switched off and the scanner closed once the scan is written, so that no next
# scan takes the keyboard meanwhile.
wait_for 40 "the fourth scan" scanner_said "arrived scan0004.pdf"
wait_for 15 "the fourth scan on the desk" desk_visible
arrived4=$(said_at "arrived scan0004.pdf")
shown4=$(now_ms)
eval "$(xdotool getwindowgeometry --shell "$(desk_window)")"
click_desk 18 $((HEIGHT - 33))
log "scan0004.pdf on the desk, the automation switched off"
wait_until_quiet scan0004.pdf
kill "$scanner_pid"
timeout 10 import -window "$(desk_window)" -frame "$artifacts/desk-with-preview.png" ||
    fail "no screenshot of the desk with the preview"
activate_window "$(desk_window)"
click_desk 120 51 # into the tag field, which the click on the switch took the focus from
xdotool key ctrl+a
xdotool type --delay 40 'Invoice'
click_target 2
log "the Home target clicked"
# No filing made the Home folder yet: the click asks before it creates it.
wait_for 10 "the question whether to create the Home folder" question_shown
activate_window "$(question_window)"
xdotool key y
wrong="$work/archive/Home/$year Invoice Anna_scan0004.pdf"
wait_for 10 "filing scan0004.pdf to the wrong target $wrong" test -f "$wrong"
wait_for 10 "the desk going to the tray after the wrong click" desk_hidden
log "scan0004.pdf filed to the wrong target; the desk is asked for again"
XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" timeout 20 "$sortwell" \
    >>"$work/second-start.log" 2>&1 || fail "the second start did not hand over within 20 s"
wait_for 10 "the desk coming back for the undo" desk_visible
sleep 0.7
timeout 10 import -window root "$artifacts/desk-with-undo.png" || fail "no screenshot of the screen"
activate_window "$(desk_window)"
xdotool key ctrl+z
wait_for 10 "scan0004.pdf coming back into the input folder" test -f "$work/input/scan0004.pdf"
[ ! -e "$wrong" ] || fail "the wrongly filed scan0004.pdf is still in the archive"
[ ! -e "$work/archive/Home" ] || fail "the folder the wrong filing made was left behind"
cmp "$work/copies/scan0004.pdf" "$work/input/scan0004.pdf" ||
    fail "scan0004.pdf did not come back whole"
log "scan0004.pdf taken back with Ctrl+Z"
click_target 0
right="$work/archive/$year/Taxes/$month Invoice_scan0004.pdf"
wait_for 10 "filing scan0004.pdf again to $right" test -f "$right"
cmp "$work/copies/scan0004.pdf" "$right" || fail "the refiled document differs from the scan"
[ ! -e "$work/input/scan0004.pdf" ] || fail "scan0004.pdf is still in the input folder"
log "scan0004.pdf filed again to the right target, byte for byte"

finished=$(now_ms)
{
    echo "arrival_to_desk_ms $((shown - arrived)) $((shown2 - arrived2)) $((shown3 - arrived3))" \
        "$((shown4 - arrived4))"
    echo "wall_time_ms $((finished - started))"
} | tee "$artifacts/timings.txt"
log "passed"
