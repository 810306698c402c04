#!/usr/bin/env bash
# Takes a screenshot of the desk window with three target buttons on a private X server:
#   tools/desk-screenshot.sh PROGRAM OUTPUT.png
set -euo pipefail

program=$(realpath "$1")
output=$(realpath -m "$2")
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

mkdir -p "$work/config/tessaryn" "$work/icons" "$work/input"
convert -size 32x32 xc:none -fill '#2b6cb0' -draw 'rectangle 4,2 27,29' \
    -fill white -draw 'rectangle 8,8 23,10' -draw 'rectangle 8,14 23,16' "$work/icons/tax.ico"
convert -size 32x32 xc:none -fill '#2f855a' -draw 'circle 16,16 16,3' "$work/icons/health.ico"
convert -size 32x32 xc:none -fill '#c05621' -draw 'polygon 16,2 30,29 2,29' "$work/icons/home.ico"
cat >"$work/config/tessaryn/Sortwell.conf" <<CONF
# Tessaryn Sortwell settings, format 1
inputdir=$work/input
columns=3
attach=1
autostart=0
active=0
icon0=$work/icons/tax.ico
caption0=Taxes
folder0=$work/archive/%YEAR/Taxes/%MONTH %TAG
hide0=
icon1=$work/icons/health.ico
caption1=Health
folder1=$work/archive/%NAME/Health/%YEAR-%MONTH
hide1=
icon2=$work/icons/home.ico
caption2=Home
folder2=$work/archive/Home/%YEAR %TAG
hide2=
name0=Anna
name1=Ben
selectedname=0
lasttag=Invoice
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
XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work" "$program" &
window=
for _ in $(seq 100); do
    window=$(xdotool search --name '^Tessaryn Sortwell Desk 1.0$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "the desk window did not appear" >&2; exit 1; }
sleep 1.5  # the start sequence and the grid's debounced rebuild
import -window "$window" -frame "$output"
echo "saved $output"
