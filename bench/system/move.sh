#!/usr/bin/env bash
# Filing a large document with the program's own move, beside cp and mv of the same file:
# within one file system (a rename; a 1 KiB file beside it shows the time does not grow with
# the size) and across file systems both ways between FOLDER_ON_DISK and FOLDER_ON_TMPFS.
# Across file systems the move copies, flushes the copy and the target folder (fsync), then
# removes the original; so beside plain cp stand cp+rm (the original removed too) and
# cp+sync+rm (also the fsync of the copy and of its folder, as GNU sync FILE... does).
# Everything is flushed with sync before each timed step, and the variants take turns, so none
# always follows the same one.
#   move.sh MOVE_DOCUMENT FOLDER_ON_DISK FOLDER_ON_TMPFS SIZE_MB RUNS RESULTS_FILE
set -euo pipefail

move_document=$(realpath "$1")
disk=$(mktemp -d "$2/sortwell-move-XXXXXX")
tmpfs=$(mktemp -d "$3/sortwell-move-XXXXXX")
size_mb=$4
runs=$5
results=$6
trap 'rm -rf "$disk" "$tmpfs"' EXIT

head -c "${size_mb}M" /dev/urandom >"$disk/original.pdf"
head -c 1K /dev/urandom >"$disk/small.pdf"
mkdir "$disk/archive" "$tmpfs/archive"

now_ns() { date +%s%N; }

# Times one step from `from` to `to` on a fresh copy of `original` and checks the result.
timed() {
    local label=$1 variant=$2 original=$3 from=$4 to=$5 run=$6 extra=""
    rm -f "$to"
    cp "$original" "$from"
    sync
    local started finished
    started=$(now_ns)
    case $variant in
        move) extra=" $("$move_document" "$from" "$to")" ;;
        mv) mv -n "$from" "$to" ;;
        cp) cp "$from" "$to" ;;
        cp+rm) cp "$from" "$to" && rm "$from" ;;
        cp+sync+rm) cp "$from" "$to" && sync "$to" "$(dirname "$to")" && rm "$from" ;;
    esac
    finished=$(now_ns)
    cmp -s "$original" "$to" || {
        echo "move.sh: $variant gave a wrong copy" >&2
        exit 1
    }
    rm -f "$from" "$to"
    echo "variant=$variant-$label run=$run wall_us=$(((finished - started) / 1000))$extra"
}

# Runs each of the variants once, starting at another one each run.
take_turns() {
    local label=$1 original=$2 from=$3 to=$4 run=$5
    shift 5
    local -a variants=("$@")
    local count=${#variants[@]}
    for ((slot = 0; slot < count; slot++)); do
        timed "$label" "${variants[(run + slot) % count]}" "$original" "$from" "$to" "$run"
    done
}

: >"$results"
across=(move cp cp+rm cp+sync+rm mv)
for ((run = 1; run <= runs; run++)); do
    {
        take_turns same-fs "$disk/original.pdf" "$disk/scan.pdf" "$disk/archive/filed.pdf" \
            "$run" move mv
        take_turns same-fs-1k "$disk/small.pdf" "$disk/scan.pdf" "$disk/archive/filed.pdf" \
            "$run" move mv
        take_turns disk-to-tmpfs "$disk/original.pdf" "$disk/scan.pdf" \
            "$tmpfs/archive/filed.pdf" "$run" "${across[@]}"
        take_turns tmpfs-to-disk "$disk/original.pdf" "$tmpfs/scan.pdf" \
            "$disk/archive/filed.pdf" "$run" "${across[@]}"
    } >>"$results"
done
cat "$results"
for label in same-fs same-fs-1k disk-to-tmpfs tmpfs-to-disk; do
    for variant in "${across[@]}"; do
        grep -qF "variant=$variant-$label " "$results" || continue
        echo "$variant-$label $("$(dirname "$0")/summarize.sh" "$results" "$variant-$label" wall_us)"
        if [ "$variant" = move ]; then
            echo "$variant-$label $("$(dirname "$0")/summarize.sh" "$results" "$variant-$label" move_ms)"
        fi
    done
done
