# shellcheck shell=bash
# Helpers shared by the acceptance scripts; sourced after `set -euo pipefail`.
# acceptance_begin ARTIFACTS_FOLDER empties the artifacts folder and makes a private work folder
# ($work). At exit every process in `pids` is ended and $work removed; a script that needs more
# done before the removal defines `before_removing_work`. On failure the files named in
# `kept_logs` (inside $work) are kept and shown, and the folders in `shown_folders` listed.
pids=()
kept_logs=()
inside_wrapper=()
# The script that drives the stand-in scanner as a person's scanner program would be driven.
readonly scanner_sequence='WAITWINDOW:ScanSnap QuickMenu`SWITCH:ScanSnap QuickMenu`WAITSECONDS:1`ENTER`UNWAITWINDOW:Loading`WAITSECONDS:2`ENTER`WAITSECONDS:1`ENTER`WAITSECONDS:1`HANDLEDOCUMENT'

shown_folders=()

acceptance_begin() {
    artifacts=$(realpath -m "$1")
    rm -rf "$artifacts"
    mkdir -p "$artifacts"
    acceptance_work
}

# The private work folder alone, for a script whose artifacts folder is made already.
acceptance_work() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/sortwell-acceptance-XXXXXX")
    # The filing journal of a test run stays with it.
    export XDG_STATE_HOME="$work/state"
    trap tear_down EXIT
}

tear_down() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    if declare -F before_removing_work >/dev/null; then
        before_removing_work
    fi
    rm -rf "$work"
}

# write_settings CONFIG_HOME KEY=VALUE...: a settings file as the program stores it.
write_settings() {
    mkdir -p "$1/tessaryn"
    {
        echo "# Tessaryn Sortwell settings, format 1"
        printf '%s\n' "${@:2}"
    } >"$1/tessaryn/Sortwell.conf"
}

now_ms() { date +%s%3N; }
# The whole screen into $1, from the X server or from sway.
screenshot() {
    if [ -n "${SWAYSOCK:-}" ]; then
        grim "$1"
    else
        import -window root "$1"
    fi
}
log() { echo "[$(date +%T.%3N)] $*"; }

# With `scenario` set, the screenshot is named after it, so later failures keep earlier ones.
fail() {
    log "FAILED: $*" >&2
    screenshot "$artifacts/failure${scenario:+-$scenario}.png" 2>/dev/null || true
    local name
    for name in "${kept_logs[@]}"; do
        cp "$work/$name" "$artifacts/" 2>/dev/null || true
    done
    for name in "${kept_logs[@]}"; do
        echo "--- $name" >&2
        cat "$work/$name" >&2 || true
    done
    echo "--- files" >&2
    find "${shown_folders[@]}" >&2 || true
    echo "screenshot and logs kept in $artifacts" >&2
    exit 1
}

# Polls a command every 20 ms until it succeeds; fails the test after `seconds`.
wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$(($(now_ms) + seconds * 1000))
    until "$@"; do
        (($(now_ms) < deadline)) || fail "$what did not happen within $seconds s"
        sleep 0.02
    done
}

readonly desk_title='^Tessaryn Sortwell Desk 1.0$'
desk_window() { xdotool search --name "$desk_title" 2>/dev/null | head -1; }
desk_exists() { [ -n "$(desk_window)" ]; }
desk_visible() { [ -n "$(xdotool search --onlyvisible --name "$desk_title" 2>/dev/null)" ]; }
desk_hidden() { ! desk_visible; }
question_window() { xdotool search --onlyvisible --name '^Tessaryn Sortwell$' 2>/dev/null | head -1; }
question_shown() { [ -n "$(question_window)" ]; }
scanner_said() { grep -q " $1\$" "$work/scanner.log"; }
said_at() { grep " $1\$" "$work/scanner.log" | head -1 | cut -d' ' -f1; }

# Activates a window, and fails instead of waiting for ever when the window manager will not.
activate_window() {
    timeout 10 xdotool windowactivate --sync "$1" || fail "window $1 could not be activated"
}

# Clicks at a point of the desk's client area.
click_desk() {
    xdotool mousemove --window "$(desk_window)" "$1" "$2" click 1
}

# The "Active" switch at the desk's bottom left.
click_active() {
    eval "$(xdotool getwindowgeometry --shell "$(desk_window)")"
    click_desk 18 $((HEIGHT - 45 + 12))
}

# The width of the grid panel: the desk's body, less the preview beside it unless the test
# stored "preview" off and said so in desk_preview=0.
grid_width() {
    local body=$((WIDTH - 13)) page=$(((HEIGHT - 156 - 22) * 210 / 297))
    if [ "${desk_preview:-1}" = 0 ]; then
        echo "$body"
        return
    fi
    ((page <= body / 2)) || page=$((body / 2))
    echo $((body - page - 6))
}

# The centre of target button `index` of a grid of three in one row.
click_target() {
    local index=$1
    eval "$(xdotool getwindowgeometry --shell "$(desk_window)")"
    local cell=$((($(grid_width) - 4) / 3))
    click_desk $((8 + 2 + cell * index + cell / 2)) $((104 + (HEIGHT - 156) / 2))
}

# A person reads the document's name first; the move also waits for a quiet file.
wait_until_quiet() {
    wait_for 10 "the scanner finishing $1" scanner_said "complete $1"
    local complete
    complete=$(said_at "complete $1")
    while (($(now_ms) < complete + 2500)); do
        sleep 0.1
    done
}

# A Wayland script's start: run_inside_sway SCRIPT PROGRAM... RUN_UNDER_SWAY ARTIFACTS_FOLDER
# empties the artifacts folder, lets the compositor's clients (perhaps another user) write into
# it, and runs the script again inside the compositor as
# "SCRIPT --inside PROGRAM... ARTIFACTS_FOLDER", through `inside_wrapper` when a script sets it.
run_inside_sway() {
    local script=$1
    shift
    local given=("$@")
    local count=${#given[@]}
    local artifacts
    artifacts=$(realpath -m "${given[count - 1]}")
    rm -rf "$artifacts"
    mkdir -p "$artifacts"
    chmod 1777 "$artifacts"
    local programs=() program
    for program in "${given[@]:0:count-2}"; do
        programs+=("$(realpath "$program")")
    done
    exec "${given[count - 2]}" "${inside_wrapper[@]}" "$(realpath "$script")" --inside \
        "${programs[@]}" "$artifacts"
}

# Under sway: windows as the compositor's own tree shows them.
sway_tree_query() {
    swaymsg -t get_tree | python3 -c '
import json, sys
def walk(node):
    yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from walk(child)
query, name = sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else ""
for node in walk(json.load(sys.stdin)):
    if query == "focused" and node.get("focused") and node.get("name"):
        print(node["name"])
    elif query == "rect" and node.get("name") == name and node.get("pid"):
        rect = node["rect"]
        print("X=%d Y=%d WIDTH=%d HEIGHT=%d" % (rect["x"], rect["y"], rect["width"], rect["height"]))
' "$@"
}
desk_focused_in_sway() { [ "$(sway_tree_query focused)" = "Tessaryn Sortwell Desk 1.0" ]; }
