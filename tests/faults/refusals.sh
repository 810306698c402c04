#!/usr/bin/env bash
# Puts documents and settings on file systems that refuse to take them (full, read-only,
# immutable, a file where a folder belongs, a folder that vanished) and checks that every
# operation says why it failed and that nothing is lost: the document stays whole at its
# source, the settings file keeps its old values, no temporary file stays behind.
# Usage: refusals.sh <fault_probe>
# Root may write through permission bits, so the refusals come from mounts (tmpfs, read-only
# bind mounts) and chattr +i; cases whose means are not allowed here are reported as not run.
set -euo pipefail

if (($# != 1)); then
    echo "usage: $0 <fault_probe>" >&2
    exit 2
fi
readonly probe=$1

workdir=$(mktemp -d "${TMPDIR:-/tmp}/sortwell-refusals-XXXXXX")
mounts=()
immutable=()
tear_down() {
    local i
    for ((i = ${#immutable[@]} - 1; i >= 0; --i)); do
        chattr -i "${immutable[i]}" 2>/dev/null || true
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; --i)); do
        umount "${mounts[i]}" 2>/dev/null || true
    done
    rm -rf "$workdir"
}
trap tear_down EXIT

ran=0
means=""
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

not_run() {
    echo "NOT RUN: $*"
}

checksum() {
    sha256sum "$1" | cut -d ' ' -f 1
}

# A small file system at $1 of size $2: tmpfs, else an ext2 image on a loop device. Sets
# `means` to what it used; not run in a subshell, so that tear_down sees the mount.
small_disk() {
    mkdir -p "$1"
    if mount -t tmpfs -o "size=$2" tmpfs "$1" 2>"$workdir/mount.err"; then
        mounts+=("$1")
        means="tmpfs size=$2"
        return 0
    fi
    local image
    image=$workdir/$(basename "$1").img
    truncate -s "$2" "$image"
    if mkfs.ext2 -q -F "$image" >/dev/null 2>&1 &&
        mount -o loop "$image" "$1" 2>>"$workdir/mount.err"; then
        mounts+=("$1")
        means="ext2 image of $2 on a loop device"
        return 0
    fi
    return 1
}

# A read-only view at $2 of the folder $1.
read_only_view() {
    mkdir -p "$2"
    mount --bind "$1" "$2" 2>"$workdir/mount.err" || return 1
    mounts+=("$2")
    mount -o remount,bind,ro "$2" 2>>"$workdir/mount.err" || return 1
}

make_immutable() {
    chattr +i "$1" 2>"$workdir/chattr.err" || return 1
    immutable+=("$1")
}

# Runs the probe, which must refuse; prints its answer under the case's name.
expect_refused() {
    local label=$1 out status=0
    shift
    out=$("$probe" "$@" 2>&1) || status=$?
    ((status == 1)) || fail "$label: expected a refusal, got status $status: $out"
    grep -q '^refused: .' <<<"$out" || fail "$label: the refusal gives no reason: $out"
    echo "CASE $label"
    while IFS= read -r line; do
        echo "    $line"
    done <<<"$out"
    ran=$((ran + 1))
}

expect_ok() {
    local label=$1 out
    shift
    out=$("$probe" "$@" 2>&1) || fail "$label: $out"
    printf '%s\n' "$out"
}

# The document must still be whole at the source, and nothing at or beside the target.
document_kept() {
    local source=$1 target=$2
    [[ "$(checksum "$source")" == "$document_sum" ]] || fail "$source was changed"
    [[ ! -e "$target" ]] || fail "$target exists after a refused move"
    local leftovers
    leftovers=$(find "$(dirname "$target")" -maxdepth 1 -name '.sortwell-move-*' 2>/dev/null |
        wc -l)
    ((leftovers == 0)) || fail "a temporary file stayed beside $target"
    echo "    kept: source whole (SHA-256 unchanged), no target, no temporary file"
}

# The settings under $1 must still read back as "old", byte for byte as before.
settings_kept() {
    local config=$1 before=$2
    [[ "$(checksum "$config/tessaryn/Sortwell.conf")" == "$before" ]] ||
        fail "the settings file under $config was changed"
    local loaded
    loaded=$(XDG_CONFIG_HOME=$config expect_ok "load" load)
    grep -qx 'probe=old' <<<"$loaded" || fail "the settings under $config read back as: $loaded"
    local leftovers
    leftovers=$(find "$config/tessaryn" -maxdepth 1 -name '.Sortwell.conf.*' | wc -l)
    ((leftovers == 0)) || fail "a temporary file stayed in $config/tessaryn"
    echo "    kept: settings file unchanged, loads with probe=old, no temporary file"
}

# Saves "old" settings under $1 and echoes the file's checksum.
old_settings() {
    XDG_CONFIG_HOME=$1 expect_ok "saving the old settings" save old >/dev/null
    checksum "$1/tessaryn/Sortwell.conf"
}

mkdir -p "$workdir/in"
head -c $((5 * 1024 * 1024)) /dev/urandom >"$workdir/in/scan.pdf"
readonly document=$workdir/in/scan.pdf
document_sum=$(checksum "$document")
readonly document_sum

# Full disk: a 5 MiB document onto a 2 MiB file system.
if small_disk "$workdir/small" 2m; then
    mkdir "$workdir/small/archive"
    expect_refused "move onto a full disk ($means)" \
        move "$document" "$workdir/small/archive/scan.pdf"
    document_kept "$document" "$workdir/small/archive/scan.pdf"
    used_kib=$(du -sk "$workdir/small" | cut -f 1)
    echo "    space used on the small disk afterwards: $used_kib KiB"
else
    not_run "full disk: no small file system could be mounted: $(cat "$workdir/mount.err")"
fi

# Full disk under the settings: saved once with room, then the disk is filled up.
if small_disk "$workdir/small-config" 1m; then
    config=$workdir/small-config/config
    before=$(old_settings "$config")
    head -c $((2 * 1024 * 1024)) /dev/zero >"$workdir/small-config/filler" 2>/dev/null || true
    XDG_CONFIG_HOME=$config expect_refused "settings save on a full disk ($means)" save new
    settings_kept "$config" "$before"
else
    not_run "settings on a full disk: no small file system could be mounted"
fi

# Target folder on a read-only mount.
mkdir -p "$workdir/archive-rw"
if read_only_view "$workdir/archive-rw" "$workdir/archive-ro"; then
    expect_refused "move into a read-only bind mount" \
        move "$document" "$workdir/archive-ro/scan.pdf"
    document_kept "$document" "$workdir/archive-ro/scan.pdf"
    expect_refused "create a folder in a read-only bind mount" mkdir "$workdir/archive-ro/2024"
    [[ ! -e "$workdir/archive-rw/2024" ]] || fail "a folder was created on a read-only mount"
else
    not_run "read-only target: bind mount refused: $(cat "$workdir/mount.err")"
fi

# Target folder that is immutable (chattr +i): same file system, so the rename itself fails.
mkdir -p "$workdir/archive-locked"
if make_immutable "$workdir/archive-locked"; then
    expect_refused "move into an immutable folder (chattr +i)" \
        move "$document" "$workdir/archive-locked/scan.pdf"
    document_kept "$document" "$workdir/archive-locked/scan.pdf"
    expect_refused "create a folder in an immutable folder (chattr +i)" \
        mkdir "$workdir/archive-locked/2024"
else
    not_run "immutable target: chattr +i refused: $(cat "$workdir/chattr.err")"
fi

# A file where the target folder should be.
echo "not a folder" >"$workdir/archive-file"
expect_refused "move below a file that stands where a folder belongs" \
    move "$document" "$workdir/archive-file/scan.pdf"
document_kept "$document" "$workdir/archive-file/scan.pdf"
expect_refused "create a folder where a file stands" mkdir "$workdir/archive-file"
expect_refused "create a folder below a file" mkdir "$workdir/archive-file/2024"

# The input folder goes away between two polls: renamed by the user, then replaced by a file.
mkdir -p "$workdir/inbox"
cp "$document" "$workdir/inbox/a.pdf"
cp "$document" "$workdir/inbox/b.pdf"
listed=$(expect_ok "listing the input folder" list "$workdir/inbox")
if ! grep -qx 'document: a.pdf' <<<"$listed" || ! grep -qx 'document: b.pdf' <<<"$listed"; then
    fail "the input folder did not list both documents: $listed"
fi
mv "$workdir/inbox" "$workdir/inbox-moved-away"
expect_refused "list an input folder that was removed" list "$workdir/inbox"
for name in a.pdf b.pdf; do
    [[ "$(checksum "$workdir/inbox-moved-away/$name")" == "$document_sum" ]] ||
        fail "$name was damaged"
done
echo "    kept: both documents whole in the folder it was moved to"
echo "not a folder" >"$workdir/inbox"
expect_refused "list an input folder that is now a file" list "$workdir/inbox"

# Settings folder on a read-only mount, with settings saved there before.
mkdir -p "$workdir/config-rw"
before=$(old_settings "$workdir/config-rw")
if read_only_view "$workdir/config-rw" "$workdir/config-ro"; then
    XDG_CONFIG_HOME=$workdir/config-ro expect_refused "settings save on a read-only bind mount" \
        save new
    settings_kept "$workdir/config-ro" "$before"
else
    not_run "read-only settings folder: bind mount refused: $(cat "$workdir/mount.err")"
fi

# Settings folder that is immutable.
mkdir -p "$workdir/config-locked"
before=$(old_settings "$workdir/config-locked")
if make_immutable "$workdir/config-locked/tessaryn"; then
    XDG_CONFIG_HOME=$workdir/config-locked expect_refused \
        "settings save into an immutable folder (chattr +i)" save new
    settings_kept "$workdir/config-locked" "$before"
else
    not_run "immutable settings folder: chattr +i refused: $(cat "$workdir/chattr.err")"
fi

# A file where the settings folder should be.
mkdir -p "$workdir/config-file"
echo "not a folder" >"$workdir/config-file/tessaryn"
XDG_CONFIG_HOME=$workdir/config-file expect_refused \
    "settings save where a file stands in place of the settings folder" save new
[[ "$(cat "$workdir/config-file/tessaryn")" == "not a folder" ]] ||
    fail "the file in place of the settings folder was changed"
echo "    kept: the file in its place is unchanged"

echo "cases run: $ran"
echo "PASS"
