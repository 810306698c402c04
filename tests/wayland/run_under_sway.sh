#!/usr/bin/env bash
# Runs a command against a private headless sway. sway refuses to run as root, so as root both
# run as nobody with their own runtime folder. Exits 77 (CTest's skip code) only when sway
# cannot be started on this machine at all; otherwise the command's exit status is the script's.
# Usage: run_under_sway.sh <command> [arguments...]
set -euo pipefail

if (($# == 0)); then
    echo "usage: $0 <command> [arguments...]" >&2
    exit 2
fi

readonly skip_code=77
readonly startup_seconds=20

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi

if ! command -v sway >/dev/null || ! command -v swaymsg >/dev/null; then
    echo "run_under_sway: sway is not installed; skipped" >&2
    exit "$skip_code"
fi

runtime=$(mktemp -d /tmp/sortwell-sway-XXXXXX)
chmod 0700 "$runtime"
if [ "$(id -u)" -eq 0 ]; then
    chown nobody:nogroup "$runtime"
fi
sway_pid=""

tear_down() {
    if [[ -n "$sway_pid" ]]; then
        kill "$sway_pid" 2>/dev/null || true
        wait "$sway_pid" 2>/dev/null || true
    fi
    rm -rf "$runtime"
}
trap tear_down EXIT
trap 'exit 130' INT TERM

cat >"$runtime/config" <<'CONFIG'
output HEADLESS-1 resolution 1280x800
default_border none
focus_on_window_activation focus
exec sh -c 'printf %s "$DISPLAY" >"$XDG_RUNTIME_DIR/xwayland-display"'
CONFIG

export XDG_RUNTIME_DIR="$runtime"
export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK
"${as_user[@]}" env HOME="$runtime" sway -c "$runtime/config" >"$runtime/sway.log" 2>&1 &
sway_pid=$!

socket=""
for _ in $(seq $((startup_seconds * 10))); do
    if ! kill -0 "$sway_pid" 2>/dev/null; then
        echo "run_under_sway: sway could not be started here; skipped" >&2
        cat "$runtime/sway.log" >&2
        sway_pid=""
        exit "$skip_code"
    fi
    socket=$(find "$runtime" -maxdepth 1 -name 'wayland-*' -type s -printf '%f\n' | head -n 1)
    ipc=$(find "$runtime" -maxdepth 1 -name 'sway-ipc.*' -type s | head -n 1)
    if [[ -n "$socket" && -n "$ipc" ]]; then
        break
    fi
    sleep 0.1
done
if [[ -z "$socket" || -z "$ipc" ]]; then
    echo "run_under_sway: sway started but opened no socket within ${startup_seconds} s" >&2
    cat "$runtime/sway.log" >&2
    exit 1
fi

# A build inside a folder that nobody cannot enter (root's home) is run as root instead: the
# compositor's socket lets root in, and the test then still runs against it.
client_user=("${as_user[@]}")
if ((${#as_user[@]} > 0)) && ! "${as_user[@]}" test -x "$1"; then
    echo "run_under_sway: nobody cannot run $1; the test runs as root" >&2
    client_user=()
fi

status=0
"${client_user[@]}" env HOME="$runtime" WAYLAND_DISPLAY="$socket" SWAYSOCK="$ipc" "$@" || status=$?
if ((status != 0)); then
    echo "--- sway.log" >&2
    tail -n 40 "$runtime/sway.log" >&2
fi
exit "$status"
