#!/usr/bin/env bash
# Takes the screenshots in docs/ on a private X server: the desk with three target buttons,
# every tab of the Configuration dialog and the Edit Button dialog.
#   tools/screenshots.sh PROGRAM DOCS_FOLDER
set -euo pipefail

program=$(realpath "$1")
docs=$(realpath -m "$2")
mkdir -p "$docs"
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -p "$work/config/tessaryn" "$work/icons" "$work/input"
chmod 700 "$work"
# A home of its own, with the folders the settings name, so that no target shows as missing.
export HOME="$work/home"
mkdir -p "$HOME/Scans" "$HOME/Archive/Home"
convert -size 32x32 xc:none -fill '#2b6cb0' -draw 'rectangle 4,2 27,29' \
    -fill white -draw 'rectangle 8,8 23,10' -draw 'rectangle 8,14 23,16' "$work/icons/tax.ico"
convert -size 32x32 xc:none -fill '#2f855a' -draw 'circle 16,16 16,3' "$work/icons/health.ico"
convert -size 32x32 xc:none -fill '#c05621' -draw 'polygon 16,2 30,29 2,29' "$work/icons/home.ico"
sequence='WAITWINDOW:ScanSnap QuickMenu`SWITCH:ScanSnap QuickMenu`WAITSECONDS:1`ENTER`UNWAITWINDOW:Loading`WAITSECONDS:2`ENTER`WAITSECONDS:1`ENTER`WAITSECONDS:1`HANDLEDOCUMENT'
cat >"$work/config/tessaryn/Sortwell.conf" <<CONF
# Tessaryn Sortwell settings, format 1
inputdir=$HOME/Scans
columns=3
attach=1
autostart=0
active=0
sequence=$sequence
icon0=$work/icons/tax.ico
caption0=Taxes
folder0=$HOME/Archive/%YEAR/Taxes/%MONTH %TAG
hide0=
icon1=$work/icons/health.ico
caption1=Health
folder1=$HOME/Archive/%NAME/Health/%YEAR-%MONTH
hide1=Ben
icon2=$work/icons/home.ico
caption2=Home
folder2=$HOME/Archive/Home/%YEAR %TAG
hide2=
name0=Anna
name1=Ben
selectedname=0
CONF

display=:$((RANDOM % 400 + 200))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
export DISPLAY=$display
for _ in $(seq 50); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
openbox >/dev/null 2>&1 &
sleep 0.5
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" "$program" >/dev/null 2>&1 &

# The first window whose title is exactly $1, once it is shown.
wait_for_window() {
    local window=
    for _ in $(seq 100); do
        window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
        if [ -n "$window" ]; then
            echo "$window"
            return 0
        fi
        sleep 0.1
    done
    echo "the window \"$1\" did not appear" >&2
    return 1
}

shoot() {
    sleep 0.4
    import -window "$1" -frame "$docs/$2"
    echo "saved $docs/$2"
}

desk=$(wait_for_window 'Tessaryn Sortwell Desk 1.0')
sleep 1.5 # the start sequence and the grid's debounced rebuild
shoot "$desk" desk.png

# "Show Configuration ..." sits at the bottom right of the desk.
eval "$(xdotool getwindowgeometry --shell "$desk")"
xdotool mousemove --window "$desk" $((WIDTH - 60)) $((HEIGHT - 35)) click 1
config=$(wait_for_window 'Configuration')
shoot "$config" config-general.png
for tab in automation buttons names; do
    xdotool key --window "$config" ctrl+Tab
    shoot "$config" "config-$tab.png"
    if [ "$tab" = buttons ]; then
        xdotool mousemove --window "$config" 120 72 click 1
        xdotool key --window "$config" alt+e
        edit=$(wait_for_window 'Edit Button')
        shoot "$edit" edit-button.png
        xdotool key --window "$edit" Escape
        sleep 0.3
    fi
done
