#!/usr/bin/env bash
# Start-up time to the mapped window and peak memory of sortwell, interleaved run by run with
# the minimal Qt Widgets program, on the current display (run it under
# tests/x11/run_under_xvfb.sh). One unmeasured run of each comes first, to warm the page cache.
# With --breakdown two more variants take part, to show where the difference goes: sortwell
# with no icon themes to search (XDG_DATA_DIRS pointed at an empty folder), and the minimal
# program with a label and a line edit (--text), which pays the font set-up as well.
#   startup.sh SORTWELL MINIMAL_WINDOW LAUNCH_AND_MEASURE RUNS RESULTS_FILE [--breakdown]
set -euo pipefail

sortwell=$(realpath "$1")
minimal=$(realpath "$2")
launcher=$(realpath "$3")
runs=$4
results=$5
variants=(sortwell minimal)
if [ "${6:-}" = "--breakdown" ]; then
    variants+=(sortwell-no-icon-themes minimal-text)
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/sortwell-startup-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/empty"

# Each run gets fresh settings and its own runtime folder: the single-instance lock lives there.
measure() {
    local variant=$1 run=$work/$1-$2
    mkdir -p "$run/config/tessaryn"
    mkdir -m 700 "$run/runtime"
    printf '%s\n' '# Tessaryn Sortwell settings, format 1' 'active=0' 'autostart=0' \
        >"$run/config/tessaryn/Sortwell.conf"
    local -a environment=("XDG_CONFIG_HOME=$run/config" "XDG_RUNTIME_DIR=$run/runtime")
    local -a command
    case $variant in
        sortwell) command=(--window 'Tessaryn Sortwell Desk 1.0' -- "$sortwell") ;;
        sortwell-no-icon-themes)
            environment+=("XDG_DATA_DIRS=$work/empty" "XDG_DATA_HOME=$work/empty")
            command=(--window 'Tessaryn Sortwell Desk 1.0' -- "$sortwell")
            ;;
        minimal) command=(--window 'Minimal Qt Window' -- "$minimal") ;;
        minimal-text) command=(--window 'Minimal Qt Window' -- "$minimal" --text) ;;
    esac
    env "${environment[@]}" "$launcher" --settle 1000 "${command[@]}" 2>>"$work/stderr.log" |
        sed "s/^/variant=$variant run=$2 /"
}

for variant in "${variants[@]}"; do
    measure "$variant" warmup >/dev/null
done
: >"$results"
count=${#variants[@]}
for ((run = 1; run <= runs; run++)); do
    # Each run starts with another variant, so none always follows the same one.
    for ((slot = 0; slot < count; slot++)); do
        measure "${variants[(run + slot) % count]}" "$run" >>"$results"
    done
done
cat "$results"
for variant in "${variants[@]}"; do
    for key in mapped_ms cpu_to_map_ms vmhwm_kb startup_cpu_ms; do
        echo "$variant $("$(dirname "$0")/summarize.sh" "$results" "$variant" "$key")"
    done
done
if [ -s "$work/stderr.log" ]; then
    echo "--- programs' error output (first lines)"
    head -20 "$work/stderr.log"
fi
