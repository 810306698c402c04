#!/usr/bin/env bash
# Undo where it cannot be done: the filed document on a read-only mount, the input folder
# removed, the filed document changed. Each must be refused with its reason and leave the
# document exactly where it was, whole; a read-only mount needs root (mount), else that case is
# reported as not run.
# Usage: undo_refusals.sh <undo_probe>
set -euo pipefail

readonly probe=$1
workdir=$(mktemp -d "${TMPDIR:-/tmp}/sortwell-undo-refusals-XXXXXX")
mounted=
tear_down() {
    if [[ -n "$mounted" ]]; then
        umount "$mounted" 2>/dev/null || true
    fi
    rm -rf "$workdir"
}
trap tear_down EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Files a fresh document into $1/archive and notes it in the journal of $1/state.
file_into() {
    local place=$1
    mkdir -p "$place/state" "$place/in" "$place/archive/2026"
    head -c 100000 /dev/urandom >"$place/archive/2026/12 Tax.pdf"
    cp "$place/archive/2026/12 Tax.pdf" "$place/original"
    "$probe" file "$place/state" "$place/in" scan.pdf "$place/archive/2026/12 Tax.pdf" \
        "$place/archive/2026" >/dev/null || fail "noting the filing in $place"
}

# Runs an undo that must be refused with a reason holding $2, and checks that the document
# stayed whole at its target and did not come back.
expect_refused_undo() {
    local place=$1 reason=$2 said
    if said=$("$probe" undo "$place/state" "$place/in"); then
        fail "undo was not refused ($reason): $said"
    fi
    [[ "$said" == refused:*"$reason"* ]] || fail "expected a refusal naming \"$reason\": $said"
    cmp -s "$place/original" "$place/archive/2026/12 Tax.pdf" ||
        fail "the filed document did not stay whole ($reason)"
    [[ ! -e "$place/in/scan.pdf" ]] || fail "a copy came back although undo was refused ($reason)"
    echo "ok: refused, $said"
}

# The input folder removed since the filing.
file_into "$workdir/gone"
rm -r "$workdir/gone/in"
expect_refused_undo "$workdir/gone" "the input folder $workdir/gone/in does not exist."

# The filed document changed since the filing.
file_into "$workdir/changed"
echo "a note added later" >>"$workdir/changed/archive/2026/12 Tax.pdf"
cp "$workdir/changed/archive/2026/12 Tax.pdf" "$workdir/changed/original"
expect_refused_undo "$workdir/changed" "changed since it was filed"

# The archive made read-only after the filing: the document cannot leave it.
mkdir -p "$workdir/ro/archive"
if mount -t tmpfs -o size=4m tmpfs "$workdir/ro/archive" 2>/dev/null; then
    mounted=$workdir/ro/archive
    file_into "$workdir/ro"
    mount -o remount,ro "$mounted" || fail "remounting the archive read-only"
    expect_refused_undo "$workdir/ro" "Read-only file system"
else
    echo "not run: read-only archive (no tmpfs could be mounted here)"
fi
echo "passed"
