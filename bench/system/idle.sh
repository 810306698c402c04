#!/usr/bin/env bash
# CPU time used while idle: sortwell switched on and waiting, in the first line of its sequence,
# for a window that never opens (so the window list refresh and the wait both run), beside the
# minimal Qt Widgets program; both with a notification area (trayer) on the current display
# (run it under tests/x11/run_under_xvfb.sh). Each run settles for 5 s, then is watched for
# IDLE_SECONDS; runs alternate between the two programs.
#   idle.sh SORTWELL MINIMAL_WINDOW LAUNCH_AND_MEASURE RUNS IDLE_SECONDS RESULTS_FILE
set -euo pipefail

sortwell=$(realpath "$1")
minimal=$(realpath "$2")
launcher=$(realpath "$3")
runs=$4
idle_seconds=$5
results=$6
work=$(mktemp -d "${TMPDIR:-/tmp}/sortwell-idle-XXXXXX")
tray_pid=""
tear_down() {
    [ -z "$tray_pid" ] || kill "$tray_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap tear_down EXIT

trayer --edge top --align right --widthtype pixel --width 120 --height 24 \
    >"$work/trayer.log" 2>&1 &
tray_pid=$!
sleep 1

fresh_environment() {
    local run=$work/$1
    mkdir -p "$run/config/tessaryn" "$run/input"
    mkdir -m 700 "$run/runtime"
    printf '%s\n' '# Tessaryn Sortwell settings, format 1' \
        'sequence=WAITWINDOW:A Window That Never Opens`HANDLEDOCUMENT' \
        "inputdir=$run/input" 'active=1' 'attach=1' 'autostart=0' 'columns=3' \
        'icon0=<none>' 'caption0=Taxes' "folder0=$run/archive" 'hide0=' 'name0=Anna' \
        'selectedname=0' >"$run/config/tessaryn/Sortwell.conf"
    echo "$run"
}

measure() {
    local name=$1 program=$2 run
    run=$(fresh_environment "$name-$3")
    XDG_CONFIG_HOME="$run/config" XDG_RUNTIME_DIR="$run/runtime" \
        "$launcher" --settle 5000 --idle "$idle_seconds" -- "$program" 2>>"$work/stderr.log" |
        sed "s/^/run=$3 /" >>"$results"
}

: >"$results"
for ((run = 1; run <= runs; run++)); do
    measure sortwell "$sortwell" "$run"
    measure minimal "$minimal" "$run"
done
cat "$results"
if [ -s "$work/stderr.log" ]; then
    echo "--- programs' error output (first lines)"
    head -20 "$work/stderr.log"
fi
