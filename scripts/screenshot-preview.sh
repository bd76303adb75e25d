#!/usr/bin/env bash
# Screenshot of the print preview of a small order list, its toolbar dragged to
# images with captions.
# Usage: scripts/screenshot-preview.sh BUILD_DIR OUTPUT.png
set -euo pipefail
build=$(cd "$1" && pwd)
out=$2
source "$(dirname "$0")/screenshot-lib.sh"
screenshot_start "$build" customer
screenshot_order two
sleep 1
# "打印" stands at a fixed place under the order list of the maximised window.
xdotool mousemove 610 784 click 1
e2e_wait_window "Preview - Tabular information"
sleep 1
# The splitter's grip lies under the toolbar at a fixed place of the maximised window:
# drag it down until the buttons show their images with captions.
xdotool mousemove 640 47 mousedown 1
for y in 57 67 77 87; do xdotool mousemove 640 "$y"; sleep 0.2; done
xdotool mouseup 1
xdotool mousemove 1200 400
sleep 1
import -window root "$out"
