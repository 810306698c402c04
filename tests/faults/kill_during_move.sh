#!/usr/bin/env bash
# Kills a move of a large document onto another file system with SIGKILL at random moments, and
# checks after every kill that the document is whole (same SHA-256) at its source or at its
# target, never missing and never cut short under either name. A hidden temporary copy left in
# the target folder must be removed by removeLeftoverTemporaries.
# Usage: kill_during_move.sh <fault_probe> <iterations> <size in MiB> [<seed> [<window %>]]
# The kills are spread over the given percentage (default 100) of the slowest undisturbed move;
# more than 100 also reaches the end of moves slower than that, where the copy is published.
# The source is below $TMPDIR (default /tmp), the target below $SORTWELL_FAULT_TARGET (default
# /dev/shm); exits 77 (skipped) when these are one file system or the target lacks room.
set -euo pipefail
# shellcheck source=tests/faults/kill_lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/kill_lib.sh"

if (($# < 3 || $# > 5)); then
    echo "usage: $0 <fault_probe> <iterations> <size in MiB> [<seed> [<window %>]]" >&2
    exit 2
fi
readonly probe=$1
readonly iterations=$2
readonly size_mib=$3
RANDOM=${4:-1}
readonly window_percent=${5:-100}
readonly source_base=${TMPDIR:-/tmp}
readonly target_base=${SORTWELL_FAULT_TARGET:-/dev/shm}

skip() {
    echo "SKIPPED: $*"
    exit 77
}

[[ -d "$target_base" ]] || skip "no folder $target_base for the target"
if [[ "$(stat -c %d "$source_base")" == "$(stat -c %d "$target_base")" ]]; then
    skip "$source_base and $target_base are on one file system"
fi
free_kib=$(df -Pk "$target_base" | awk 'NR == 2 { print $4 }')
if ((free_kib < 3 * size_mib * 1024)); then
    skip "$target_base has only $free_kib KiB free"
fi

workdir=$(mktemp -d "$source_base/sortwell-kill-move-XXXXXX")
targetdir=$(mktemp -d "$target_base/sortwell-kill-move-XXXXXX")
trap 'rm -rf "$workdir" "$targetdir"' EXIT
readonly inbox=$workdir/in
readonly archive=$targetdir/archive
readonly source=$inbox/scan.pdf
readonly target=$archive/scan.pdf
mkdir -p "$inbox" "$archive"

temporaries() {
    find "$1" -maxdepth 1 -name '.sortwell-move-??????' | wc -l
}

head -c "$((size_mib * 1024 * 1024))" /dev/urandom >"$workdir/master"
expected=$(checksum "$workdir/master")
readonly expected

# Undisturbed moves tell how long the kills have to be spread over; the slowest of three, as
# move times vary widely with the page cache, so that the kills reach the end of most moves.
move_ms=0
for ((calibration = 1; calibration <= 3; ++calibration)); do
    rm -f "$target"
    cp "$workdir/master" "$source"
    started=$(date +%s%N)
    "$probe" move "$source" "$target" >"$workdir/move.out" ||
        fail "an undisturbed move failed: $(cat "$workdir/move.out")"
    took_ms=$((($(date +%s%N) - started) / 1000000))
    [[ ! -e "$source" && "$(checksum "$target")" == "$expected" ]] ||
        fail "an undisturbed move did not leave the whole document at the target"
    if ((took_ms > move_ms)); then
        move_ms=$took_ms
    fi
done
readonly window_ms=$((move_ms * window_percent / 100 + 1))

killed=0
completed=0
at_source=0
at_target=0
at_both=0
temporaries_left=0
for ((iteration = 1; iteration <= iterations; ++iteration)); do
    rm -f "$target"
    cp "$workdir/master" "$source"
    # timeout(1) starts the move itself, so no shell start-up delays the kill.
    delay_us=$(((RANDOM * 32768 + RANDOM) % (window_ms * 1000) + 1))
    status=0
    timeout --foreground -s KILL "$(seconds "$delay_us")" "$probe" move "$source" "$target" \
        >"$workdir/move.out" 2>&1 || status=$?
    case $status in
        # 124: the time ran out just as the program ended on its own, so the kill came late.
        137 | 124) killed=$((killed + 1)) ;;
        0) completed=$((completed + 1)) ;;
        *) fail "the move ended with status $status: $(cat "$workdir/move.out")" ;;
    esac

    whole_source=0
    whole_target=0
    if [[ -e "$source" ]]; then
        [[ "$(checksum "$source")" == "$expected" ]] || fail "the source was changed"
        whole_source=1
    fi
    if [[ -e "$target" ]]; then
        [[ "$(checksum "$target")" == "$expected" ]] || fail "a partial copy has the target name"
        whole_target=1
    fi
    case $whole_source$whole_target in
        00) fail "the document is gone from both places" ;;
        10) at_source=$((at_source + 1)) ;;
        01) at_target=$((at_target + 1)) ;;
        11) at_both=$((at_both + 1)) ;;
    esac
    if (($(temporaries "$inbox") != 0)); then
        fail "a temporary file appeared in the source folder: $(ls -A "$inbox")"
    fi

    left=$(temporaries "$archive")
    if ((left > 1)); then
        fail "$left temporary files in the target folder: $(ls -A "$archive")"
    fi
    if ((left == 1)); then
        temporaries_left=$((temporaries_left + 1))
        "$probe" clean "$archive" >"$workdir/clean.out" ||
            fail "removing the leftover failed: $(cat "$workdir/clean.out")"
        (($(temporaries "$archive") == 0)) || fail "the leftover temporary file is still there"
    fi
    others=$(find "$archive" -mindepth 1 ! -name scan.pdf | wc -l)
    ((others == 0)) || fail "unexpected files in the target folder: $(ls -A "$archive")"
done

echo "document: $size_mib MiB; slowest of three undisturbed moves: $move_ms ms"
echo "kills spread over: 0-$window_ms ms after the start"
echo "runs: $iterations; killed: $killed; finished before the kill: $completed"
echo "whole at the source only: $at_source; at the target only: $at_target; at both: $at_both"
echo "temporary copies left in the target folder: $temporaries_left"
echo "temporary copies removeLeftoverTemporaries failed to remove: 0"
echo "documents lost or cut short: 0"
echo "PASS"
