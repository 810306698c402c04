#!/usr/bin/env bash
# Kills a document move onto another file system, and a settings save, at each of their system
# calls in turn (strace delivers SIGKILL as the call is entered, so it never runs), where random
# kills rarely land on the short steps near the end. After each kill the document must be whole
# at its source or its target, and the settings file must hold the old or the new round; a
# leftover temporary copy must be removable. Prints which state each step leaves.
# Usage: kill_at_each_step.sh <fault_probe> <save_forever>
# Exits 77 (skipped) without strace, where tracing is not allowed, or without a second file
# system at $SORTWELL_FAULT_TARGET (default /dev/shm).
set -euo pipefail

if (($# != 2)); then
    echo "usage: $0 <fault_probe> <save_forever>" >&2
    exit 2
fi
readonly probe=$1
readonly saver=$2
readonly source_base=${TMPDIR:-/tmp}
readonly target_base=${SORTWELL_FAULT_TARGET:-/dev/shm}

skip() {
    echo "SKIPPED: $*"
    exit 77
}

command -v strace >/dev/null || skip "strace is not installed"
strace -qq -o /dev/null true 2>/dev/null || skip "tracing is not allowed here"
[[ -d "$target_base" ]] || skip "no folder $target_base for the target"
if [[ "$(stat -c %d "$source_base")" == "$(stat -c %d "$target_base")" ]]; then
    skip "$source_base and $target_base are on one file system"
fi

workdir=$(mktemp -d "$source_base/sortwell-kill-step-XXXXXX")
targetdir=$(mktemp -d "$target_base/sortwell-kill-step-XXXXXX")
trap 'rm -rf "$workdir" "$targetdir"' EXIT
readonly source=$workdir/in/scan.pdf
readonly archive=$targetdir/archive
readonly target=$archive/scan.pdf
mkdir -p "$workdir/in" "$archive"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

checksum() {
    sha256sum "$1" | cut -d ' ' -f 1
}

# Runs the rest of the command line under strace, killed as it enters call $1 for the $2-th
# time; fails unless it was killed there.
killed_at() {
    local call=$1 when=$2 status=0
    shift 2
    # strace dies of the same signal; the braces keep the shell's notice of it quiet.
    {
        strace -qq -o /dev/null -e trace="$call" -e inject="$call:signal=KILL:when=$when" "$@" \
            >"$workdir/out" 2>&1
    } 2>/dev/null || status=$?
    ((status == 137)) || fail "not killed at $call #$when (status $status): $(cat "$workdir/out")"
}

head -c $((8 * 1024 * 1024)) /dev/urandom >"$workdir/master"
expected=$(checksum "$workdir/master")
readonly expected

# The calls of a move across file systems, in order: the first rename (refused as crossing
# file systems), a write of the copy, setting its mode, flushing it, publishing it under the
# target name, flushing the target folder, removing the original, and the exit.
echo "MOVE (8 MiB, $source_base -> $target_base)"
for step in renameat2:1 write:2 fchmod:1 fsync:1 renameat2:2 fsync:2 unlink:1 exit_group:1; do
    rm -f "$target"
    cp "$workdir/master" "$source"
    killed_at "${step%:*}" "${step#*:}" "$probe" move "$source" "$target"
    state=""
    if [[ -e "$source" ]]; then
        [[ "$(checksum "$source")" == "$expected" ]] || fail "$step: the source was changed"
        state="whole at the source"
    fi
    if [[ -e "$target" ]]; then
        [[ "$(checksum "$target")" == "$expected" ]] || fail "$step: a partial copy has the name"
        state="${state:+$state and }whole at the target"
    fi
    [[ -n "$state" ]] || fail "$step: the document is gone"
    left=$(find "$archive" -maxdepth 1 -name '.sortwell-move-??????' | wc -l)
    if ((left > 0)); then
        ((left == 1)) || fail "$step: $left temporary files"
        "$probe" clean "$archive" >/dev/null || fail "$step: the leftover could not be removed"
        [[ -z "$(find "$archive" -maxdepth 1 -name '.sortwell-move-*')" ]] ||
            fail "$step: the leftover temporary file is still there"
        state="$state; temporary copy left, removed by removeLeftoverTemporaries"
    fi
    echo "  killed entering $step: $state"
done

# The calls of a settings save after the first: taking the folder lock, writing the temporary
# file, flushing it, renaming it over the file, flushing the folder, and the report line.
export XDG_CONFIG_HOME=$workdir/config
readonly folder=$XDG_CONFIG_HOME/tessaryn
"$saver" run 0 1 >/dev/null || fail "the first save failed"
round=1
echo "SETTINGS SAVE (round $round on file, round $((round + 1)) being saved)"
for step in flock:1 write:1 fsync:1 rename:1 fsync:2 write:2; do
    killed_at "${step%:*}" "${step#*:}" "$saver" run "$round"
    found=$("$saver" check "$round" 2>&1) || fail "$step: $found"
    found=${found#round }
    if ((found == round)); then
        state="old round kept"
    else
        state="new round in place"
    fi
    left=$(find "$folder" -maxdepth 1 -name '.Sortwell.conf.??????' | wc -l)
    ((left <= 1)) || fail "$step: $left temporary files"
    echo "  killed entering $step: $state; temporary files left: $left"
    round=$found
done
"$saver" run "$round" 1 >/dev/null || fail "the save after the kills failed"
[[ -z "$(find "$folder" -maxdepth 1 -name '.Sortwell.conf.*')" ]] ||
    fail "a complete save left temporary files: $(ls -A "$folder")"
echo "  a complete save afterwards removed every leftover temporary file"
echo "PASS"
