#!/usr/bin/env bash
# The input folder as an inbox, with a sequence that never reaches HANDLEDOCUMENT: three PDFs
# written by another process (one in pieces over 2 s) and one handed over with --present from
# another file system are presented in their turn and filed, none lost, none twice.
# Run under tests/x11/run_under_xvfb.sh.
#   inbox_and_present.sh SORTWELL ARTIFACTS_FOLDER
set -euo pipefail

sortwell=$(realpath "$1")
# shellcheck source=tests/acceptance/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
acceptance_begin "$2"
kept_logs=(sortwell.log present.log)
shown_folders=("$work/input" "$work/archive")

year=$(date +%Y)
elsewhere=$(mktemp -d /dev/shm/sortwell-present-XXXXXX)
before_removing_work() { rm -rf "$elsewhere"; }
mkdir -p "$work/input" "$work/archive"
write_settings "$work/config" \
    "sequence=WAITWINDOW:A Window That Never Opens" "inputdir=$work/input" active=1 \
    watchinput=1 attach=1 autostart=0 columns=3 \
    "icon0=<none>" caption0=Scans "folder0=$work/archive/%YEAR" hide0=
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
"$sortwell" >"$work/sortwell.log" 2>&1 &
pids+=($!)
wait_for 20 "the desk window appearing" desk_exists
wait_for 20 "the desk stepping aside at the start" desk_hidden

pdf() { printf '%%PDF-1.4\n%% %s\n%%%%EOF\n' "$1"; }
# One scanner writes in place and closes the file between pages.
{
    pdf "first, page 1" >"$work/input/first.pdf"
    sleep 1
    pdf "first, page 2" >>"$work/input/first.pdf"
    sleep 1
    pdf "first, page 3" >>"$work/input/first.pdf"
} &
writer=$!
wait_for 10 "first.pdf on the desk while it is written" desk_visible
wait "$writer"
# The others are renamed in whole while the first is on the desk.
for name in second third; do
    pdf "$name" >"$work/input/.$name.part"
    mv "$work/input/.$name.part" "$work/input/$name.pdf"
    sleep 0.3
done
pdf "fourth" >"$elsewhere/fourth.pdf"
"$sortwell" --present "$elsewhere/fourth.pdf" >"$work/present.log" 2>&1 ||
    fail "--present ended with $?"
[ ! -e "$elsewhere/fourth.pdf" ] || fail "--present left fourth.pdf where it was"
[ -f "$work/input/fourth.pdf" ] || fail "--present did not move fourth.pdf into the input folder"

filed_count() { find "$work/archive" -type f | wc -l; }
for name in first second third fourth; do
    desk_visible || fail "the desk is not showing $name.pdf"
    sleep 2.5 # the move waits for a quiet file
    count=$(filed_count)
    click_target 0
    wait_for 10 "filing $name.pdf" test -f "$work/archive/${year}_$name.pdf"
    [ "$(filed_count)" -eq $((count + 1)) ] || fail "more than $name.pdf was filed at once"
    grep -q "$name" "$work/archive/${year}_$name.pdf" || fail "$name.pdf was filed with other bytes"
    log "$name.pdf filed in its turn"
done
wait_for 10 "the desk stepping aside with nothing left" desk_hidden
[ -z "$(find "$work/input" -name '*.pdf')" ] || fail "a PDF stayed in the input folder"
[ "$(filed_count)" -eq 4 ] || fail "$(filed_count) files were filed instead of four"
grep -q "first, page 3" "$work/archive/${year}_first.pdf" || fail "first.pdf was filed before it was whole"
log "passed: four documents presented in turn and filed once each"
