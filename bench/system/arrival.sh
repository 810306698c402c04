#!/usr/bin/env bash
# From a PDF renamed into the input folder to the desk on the screen, with the inbox on and the
# desk in the tray (run it under tests/x11/run_under_xvfb.sh). Each round renames one file in,
# polls the X server until the desk is mapped, then dismisses it with Alt+D. Then a burst:
# BURST files renamed at once into a folder that already holds FILLED files, with the
# program's resident memory before and after.
#   arrival.sh SORTWELL ROUNDS FILLED BURST RESULTS_FILE
set -euo pipefail

sortwell=$(realpath "$1")
rounds=$2
filled=$3
burst=$4
results=$5
work=$(mktemp -d "${TMPDIR:-/tmp}/sortwell-arrival-XXXXXX")
pids=()
tear_down() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap tear_down EXIT
now_ms() { date +%s%3N; }
title='^Tessaryn Sortwell Desk 1.0$'
desk() { xdotool search --name "$title" 2>/dev/null | head -1; }
exists() { [ -n "$(desk)" ]; }
hidden() { ! visible; }
visible() { [ -n "$(xdotool search --onlyvisible --name "$title" 2>/dev/null)" ]; }
until_true() {
    local deadline=$(($(now_ms) + 10000))
    until "$@"; do
        (($(now_ms) < deadline)) || { echo "timed out: $*" >&2; exit 1; }
    done
}
rss_kb() { awk '/^VmRSS/ {print $2}' "/proc/$1/status"; }

start_desk() {
    mkdir -p "$work/$1/config/tessaryn" "$work/$1/input" "$work/$1/stage"
    mkdir -m 700 "$work/$1/runtime"
    printf '%s\n' '# Tessaryn Sortwell settings, format 1' 'sequence=WAITWINDOW:Never' \
        "inputdir=$work/$1/input" 'active=1' 'watchinput=1' 'autostart=0' \
        >"$work/$1/config/tessaryn/Sortwell.conf"
    XDG_CONFIG_HOME="$work/$1/config" XDG_RUNTIME_DIR="$work/$1/runtime" \
        XDG_DATA_HOME="$work/$1/data" "$sortwell" >>"$work/sortwell.log" 2>&1 &
    pids+=($!)
    until_true exists
    sleep 2
}

trayer --edge top --align right --widthtype pixel --width 120 --height 24 >/dev/null 2>&1 &
pids+=($!)
sleep 1
: >"$results"

start_desk rounds
for ((round = 1; round <= rounds; round++)); do
    printf '%%PDF-1.4\n%%%%EOF\n' >"$work/rounds/stage/scan$round.pdf"
    sleep 0.3
    before=$(now_ms)
    mv "$work/rounds/stage/scan$round.pdf" "$work/rounds/input/"
    until_true visible
    echo "arrival_to_desk_ms $(($(now_ms) - before))" >>"$results"
    xdotool windowactivate --sync "$(desk)" key alt+d
    until_true test ! -e "$work/rounds/input/scan$round.pdf"
    until_true hidden
done
kill "${pids[-1]}"
wait "${pids[-1]}" 2>/dev/null || true

# The full folder is there before the start: its files wait for the desk to be opened.
mkdir -p "$work/burst/input" "$work/burst/stage"
for ((i = 0; i < filled; i++)); do printf '%%PDF\n' >"$work/burst/input/old$i.pdf"; done
for ((i = 0; i < burst; i++)); do printf '%%PDF\n' >"$work/burst/stage/new$i.pdf"; done
start_desk burst
pid=${pids[-1]}
sleep 3
echo "rss_before_burst_kb $(rss_kb "$pid")" >>"$results"
before=$(now_ms)
find "$work/burst/stage" -name '*.pdf' -exec mv -t "$work/burst/input" {} +
echo "burst_renamed_ms $(($(now_ms) - before))" >>"$results"
sleep 5
echo "rss_after_burst_kb $(rss_kb "$pid")" >>"$results"
cat "$results"
awk '/arrival_to_desk_ms/ {print $2}' "$results" | sort -n |
    awk '{a[NR]=$1} END {print "arrival_to_desk_ms n=" NR " median=" a[int((NR+1)/2)] " min=" a[1] " max=" a[NR]}'
