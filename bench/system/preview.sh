#!/usr/bin/env bash
# The document preview of a one-page 300 dpi A4 scan (a ~1.2 MB JPEG page) and of a 50-page
# PDF of such pages: request to picture on screen through the desk's widget, the helper alone
# and pdftoppm of the first page as the floor, each the median of RUNS; then the desk-like
# window's VmRSS with and without a preview shown, the median of five processes each.
#   preview.sh BUILD_DIR RUNS       (RUNS >= 20; offscreen, no display needed)
set -euo pipefail

build=$(realpath "$1")
runs=$2
timing=$build/bench/system/preview_timing
helper=$build/app/sortwell-preview
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

convert -size 2480x3508 -seed 7 plasma: -quality 85 "$work/scan.jpg"
"$timing" make "$work/scan.jpg" 2480 3508 1 "$work/scan-1.pdf"
"$timing" make "$work/scan.jpg" 2480 3508 50 "$work/scan-50.pdf"
# Files the scanner finished a while ago, so no render waits for a quiet file.
touch -d '-1 min' "$work"/scan-*.pdf
echo "JPEG $(stat -c %s "$work/scan.jpg") bytes; PDFs $(stat -c %s "$work"/scan-*.pdf | paste -sd/) bytes"

for pages in 1 50; do
    echo "--- $pages page(s), median of $runs"
    "$timing" time "$helper" "$work/scan-$pages.pdf" "$runs"
done

median_rss() {
    for _ in 1 2 3 4 5; do "$timing" rss "$helper" "$@" 2>/dev/null; done | sort -n | sed -n 3p
}
without=$(median_rss)
with=$(median_rss "$work/scan-1.pdf")
echo "--- VmRSS: without preview ${without} KiB, with preview ${with} KiB, growth $((with - without)) KiB"
