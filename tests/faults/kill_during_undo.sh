#!/usr/bin/env bash
# Kills the undo of a filing with SIGKILL at random moments, runs the start-up recovery, and
# checks after every kill that the document exists exactly once, whole: back in the input folder
# with its undo noted done and its emptied folder gone, or still at its target, undoable again.
# Usage: kill_during_undo.sh <undo_probe> <iterations> <size in MiB> [<seed>]
# The input folder is below $TMPDIR (default /tmp), the archive below $SORTWELL_FAULT_TARGET
# (default /dev/shm) when that is another file system, so the undo copies and has time to be
# killed; else both are on one file system and the undo is a rename.
set -euo pipefail
# shellcheck source=tests/faults/kill_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/kill_lib.sh"

if (($# < 3 || $# > 4)); then
    echo "usage: $0 <undo_probe> <iterations> <size in MiB> [<seed>]" >&2
    exit 2
fi
readonly probe=$1
readonly iterations=$2
readonly size_mib=$3
RANDOM=${4:-1}
readonly source_base=${TMPDIR:-/tmp}
target_base=${SORTWELL_FAULT_TARGET:-/dev/shm}
if [[ ! -d "$target_base" || "$(stat -c %d "$source_base")" == "$(stat -c %d "$target_base")" ]]; then
    target_base=$source_base
fi
readonly target_base

workdir=$(mktemp -d "$source_base/sortwell-kill-undo-XXXXXX")
targetdir=$(mktemp -d "$target_base/sortwell-kill-undo-XXXXXX")
trap 'rm -rf "$workdir" "$targetdir"' EXIT
readonly state=$workdir/state
readonly inbox=$workdir/in
readonly created=$targetdir/archive/2026
readonly target="$created/12 Tax.pdf"
readonly returned=$inbox/scan.pdf

# A filed document as the desk leaves it: at its target, in a folder the filing created.
file_document() {
    rm -rf "$state" "$inbox" "$targetdir/archive"
    mkdir -p "$inbox" "$created"
    cp "$workdir/master" "$target"
    "$probe" file "$state" "$inbox" scan.pdf "$target" "$created" >"$workdir/file.out" ||
        fail "noting the filing failed: $(cat "$workdir/file.out")"
}

head -c "$((size_mib * 1024 * 1024))" /dev/urandom >"$workdir/master"
expected=$(checksum "$workdir/master")
readonly expected

undo_ms=0
for ((calibration = 1; calibration <= 3; ++calibration)); do
    file_document
    started=$(date +%s%N)
    "$probe" undo "$state" "$inbox" >"$workdir/undo.out" ||
        fail "an undisturbed undo failed: $(cat "$workdir/undo.out")"
    took_ms=$((($(date +%s%N) - started) / 1000000))
    [[ ! -e "$target" && ! -e "$created" && "$(checksum "$returned")" == "$expected" ]] ||
        fail "an undisturbed undo did not bring the whole document back"
    if ((took_ms > undo_ms)); then
        undo_ms=$took_ms
    fi
done
readonly window_ms=$((undo_ms + 1))

killed=0
completed=0
back=0
stayed=0
for ((iteration = 1; iteration <= iterations; ++iteration)); do
    file_document
    delay_us=$(((RANDOM * 32768 + RANDOM) % (window_ms * 1000) + 1))
    status=0
    timeout --foreground -s KILL "$(seconds "$delay_us")" "$probe" undo "$state" "$inbox" \
        >"$workdir/undo.out" 2>&1 || status=$?
    case $status in
        137 | 124) killed=$((killed + 1)) ;;
        0) completed=$((completed + 1)) ;;
        *) fail "the undo ended with status $status: $(cat "$workdir/undo.out")" ;;
    esac

    "$probe" recover "$state" >"$workdir/recover.out" ||
        fail "the recovery failed: $(cat "$workdir/recover.out")"
    counts=$(head -n 1 "$workdir/recover.out")

    at_input=0
    at_target=0
    if [[ -e "$returned" ]]; then
        [[ "$(checksum "$returned")" == "$expected" ]] || fail "a partial document is back"
        at_input=1
    fi
    if [[ -e "$target" ]]; then
        [[ "$(checksum "$target")" == "$expected" ]] || fail "the filed document was changed"
        at_target=1
    fi
    case $at_input$at_target in
        00) fail "the document is gone from both places" ;;
        11) fail "the document exists twice" ;;
        10)
            back=$((back + 1))
            [[ "$counts" == "undoable: 0 pending: 0" ]] || fail "back, but the journal says $counts"
            [[ ! -e "$created" ]] || fail "the emptied folder the filing created is still there"
            ;;
        01)
            stayed=$((stayed + 1))
            [[ "$counts" == "undoable: 1 pending: 0" ]] || fail "stayed, but the journal says $counts"
            ;;
    esac
    others=$(find "$inbox" -mindepth 1 ! -name scan.pdf | wc -l)
    ((others == 0)) || fail "unexpected files in the input folder: $(ls -A "$inbox")"
done

echo "document: $size_mib MiB; archive on $(stat -f -c %T "$target_base"), input on $(stat -f -c %T "$source_base")"
echo "slowest of three undisturbed undos: $undo_ms ms; kills spread over 0-$window_ms ms"
echo "runs: $iterations; killed: $killed; finished before the kill: $completed"
echo "back in the input folder: $back; still at the target: $stayed; lost or twice: 0"
echo "PASS"
