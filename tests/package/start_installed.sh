#!/usr/bin/env bash
# The installed program's first start with empty settings, on the current X display: a person
# switches Active on, which saves the settings, and the autostart entry written then must run
# /usr/bin/sortwell.
#   start_installed.sh ARTIFACTS_FOLDER
set -euo pipefail

# shellcheck source=tests/acceptance/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/../acceptance/lib.sh"
artifacts=$(realpath "$1")
acceptance_work
kept_logs=(sortwell.log)
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache \
    XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 0700 "$XDG_RUNTIME_DIR"

/usr/bin/sortwell >"$work/sortwell.log" 2>&1 &
pids+=($!)
wait_for 20 "the installed program's desk appearing" desk_visible
sleep 0.5 # settings loaded by then
activate_window "$(desk_window)"
click_active
entry="$XDG_CONFIG_HOME/autostart/Tessaryn Sortwell.desktop"
wait_for 10 "a save writing the autostart entry" test -f "$entry"
grep -qx 'Exec="/usr/bin/sortwell"' "$entry" ||
    fail "the autostart entry runs $(grep '^Exec=' "$entry" || echo nothing)"
screenshot "$artifacts/installed-first-start.png"
log "the installed program's autostart entry runs /usr/bin/sortwell"
