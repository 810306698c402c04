#!/usr/bin/env bash
# What goes wrong on the desk, driven as a person would on an X server (run this under
# tests/x11/run_under_xvfb.sh, as root for the read-only mount): a filing into a read-only
# folder keeps the document on the desk, a dismissed scan goes to the trash, and the
# autostart entry of a program whose file was replaced while it ran names the new file.
#   failure_paths.sh SORTWELL STAND_IN_SCANNER ARTIFACTS_FOLDER
# Every scenario runs and is reported; the desk's screenshot after the refused filing is kept
# in ARTIFACTS_FOLDER, and on failure a screenshot and the logs as well.
set -euo pipefail

sortwell=$(realpath "$1")
scanner=$(realpath "$2")
# shellcheck source=tests/acceptance/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
acceptance_begin "$3"
work=$(realpath "$work")
kept_logs=(scanner.log sortwell.log replaced.log)
shown_folders=("$work/input" "$work/archive" "$work/readonly" "$work/data" "$work/replaced")

readonly_mounted=0
before_removing_work() {
    if ((readonly_mounted)); then
        umount "$work/readonly" || echo "cannot unmount $work/readonly" >&2
    fi
}

year=$(date +%Y)
readonly archived="$work/archive/$year/Letter_scan0001.pdf"

# The Active check box at the desk's bottom left.
in_input() { [ -e "$work/input/$1" ]; }

scenario_replaced_executable() {
    local pid=$1 program="$work/bin/sortwell"
    local entry="$work/replaced/config/autostart/Tessaryn Sortwell.desktop"
    wait_for 20 "the desk of the copied program appearing" desk_visible
    sleep 0.5 # settings loaded by then
    cp "$sortwell" "$work/bin/sortwell.new"
    mv -f "$work/bin/sortwell.new" "$program"
    local running
    running=$(readlink "/proc/$pid/exe")
    [ "$running" = "$program (deleted)" ] ||
        fail "the running program reads as '$running', not as a replaced file"
    rm -f "$entry"
    click_active
    wait_for 10 "a save writing the autostart entry" test -f "$entry"
    local exec_line value
    exec_line=$(grep '^Exec=' "$entry") || fail "the autostart entry has no Exec= line"
    value=${exec_line#Exec=}
    value=${value#\"}
    value=${value%\"}
    [ "$value" = "$program" ] ||
        fail "the autostart entry runs '$value' instead of $program ($exec_line)"
    log "the autostart entry names $program"
}

first_scan_on_desk() {
    wait_for 40 "the first scan" scanner_said "arrived scan0001.pdf"
    wait_for 15 "the first scan on the desk" desk_visible
    wait_until_quiet scan0001.pdf
}

scenario_read_only_target() {
    first_scan_on_desk
    click_target 0
    sleep 1.5 # a hiding desk is gone by then
    desk_visible || fail "the desk went to the tray although nothing was filed"
    import -window "$(desk_window)" -frame "$artifacts/read-only-reason.png" ||
        fail "no screenshot of the desk after the refused filing"
    cmp "$work/copies/scan0001.pdf" "$work/input/scan0001.pdf" ||
        fail "scan0001.pdf did not stay whole in the input folder"
    [ -z "$(find "$work/readonly" -mindepth 1)" ] || fail "something was written into $work/readonly"
    log "scan0001.pdf kept on the desk after the read-only target; see read-only-reason.png"
    file_into_archive
}

file_into_archive() {
    click_target 1
    wait_for 10 "filing scan0001.pdf to $archived" test -f "$archived"
    cmp "$work/copies/scan0001.pdf" "$archived" || fail "the filed document differs from the scan"
    ! in_input scan0001.pdf || fail "scan0001.pdf is still in the input folder"
    wait_for 10 "the desk going back to the tray" desk_hidden
    log "scan0001.pdf filed byte for byte"
}

scenario_writable_target() {
    first_scan_on_desk
    file_into_archive
}

scenario_dismiss_to_trash() {
    local trashed="$work/data/Trash/files/scan0002.pdf"
    local info="$work/data/Trash/info/scan0002.pdf.trashinfo"
    wait_for 40 "the second scan" scanner_said "arrived scan0002.pdf"
    wait_for 15 "the second scan on the desk" desk_visible
    wait_until_quiet scan0002.pdf
    xdotool windowactivate --sync "$(desk_window)"
    xdotool key alt+d
    wait_for 10 "dismissing scan0002.pdf" test ! -e "$work/input/scan0002.pdf"
    [ -f "$trashed" ] || fail "scan0002.pdf is not in the trash ($trashed)"
    cmp "$work/copies/scan0002.pdf" "$trashed" || fail "the trashed document differs from the scan"
    [ -f "$info" ] || fail "scan0002.pdf has no trash information ($info)"
    [ "$(head -1 "$info")" = "[Trash Info]" ] || fail "$info does not begin with [Trash Info]"
    grep -qFx "Path=$work/input/scan0002.pdf" "$info" ||
        fail "$info does not name the original path: $(cat "$info")"
    [ -z "$(find "$work/archive" -name '*scan0002*')" ] || fail "the dismissed scan was filed"
    wait_for 10 "the desk going back to the tray" desk_hidden
    log "scan0002.pdf dismissed into the trash"
}

results=()
failures=0
# Each scenario runs in a subshell: a failure ends that scenario only.
run_scenario() {
    local name=$1
    shift
    log "scenario $name"
    set +e
    (
        set -e
        scenario=$name
        "$@"
    )
    local status=$?
    set -e
    if ((status == 0)); then
        results+=("PASS $name")
    else
        results+=("FAIL $name")
        failures=$((failures + 1))
    fi
}

started=$(now_ms)
mkdir -p "$work/input" "$work/archive" "$work/copies" "$work/readonly" "$work/data" \
    "$work/bin" "$work/replaced/input" "$work/replaced/data"
trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
    >"$work/trayer.log" 2>&1 &
pids+=($!)

# 3: the program's file replaced while it runs.
cp "$sortwell" "$work/bin/sortwell"
write_settings "$work/replaced/config" "sequence=WAITWINDOW:No such window" \
    "inputdir=$work/replaced/input" active=0 attach=1 autostart=1 columns=3
XDG_CONFIG_HOME="$work/replaced/config" XDG_DATA_HOME="$work/replaced/data" \
    "$work/bin/sortwell" >"$work/replaced.log" 2>&1 &
replaced_pid=$!
pids+=("$replaced_pid")
run_scenario replaced_executable scenario_replaced_executable "$replaced_pid"
kill "$replaced_pid"
wait "$replaced_pid" || true
wait_for 10 "the copied program's desk closing" test -z "$(desk_window)"

if mount -t tmpfs -o ro,size=1m tmpfs "$work/readonly" 2>"$work/mount.log"; then
    readonly_mounted=1
else
    log "SKIP read_only_target: cannot mount a read-only tmpfs ($(cat "$work/mount.log"))"
fi
sequence=$scanner_sequence
write_settings "$work/config" "sequence=$sequence" "inputdir=$work/input" active=1 attach=1 \
    autostart=0 columns=3 \
    "icon0=<none>" caption0=Locked "folder0=$work/readonly/%YEAR/Letter" hide0= \
    "icon1=<none>" caption1=Archive "folder1=$work/archive/%YEAR/Letter" hide1=
"$scanner" --output "$work/input" --copies "$work/copies" >"$work/scanner.log" 2>&1 &
pids+=($!)
XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" "$sortwell" >"$work/sortwell.log" 2>&1 &
pids+=($!)
log "waiting for the desk to go to the tray"
wait_for 20 "the desk window appearing" desk_exists
wait_for 20 "the desk going to the tray" desk_hidden

# 1: a read-only target, then a writable one.
if ((readonly_mounted)); then
    run_scenario read_only_target scenario_read_only_target
else
    run_scenario writable_target scenario_writable_target
fi
# Whatever the first scenario left, the second begins with an empty desk and input folder.
if desk_visible; then
    log "clearing the desk for the next scan"
    click_desk 97 82
fi
rm -f "$work/input/scan0001.pdf"

# 2: dismissed into the trash.
run_scenario dismiss_to_trash scenario_dismiss_to_trash

log "wall time $(($(now_ms) - started)) ms"
printf '%s\n' "${results[@]}"
((failures == 0)) || fail "$failures of ${#results[@]} scenarios failed"
log "passed"
