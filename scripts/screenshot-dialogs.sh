#!/usr/bin/env bash
# Screenshots of Qt's own dialogs as the program shows them, to check they are in
# Chinese: the save dialog of "输出" and the question of "清空".
# Usage: scripts/screenshot-dialogs.sh BUILD_DIR OUTPUT_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
out=$(cd "$2" && pwd)
source "$(dirname "$0")/screenshot-lib.sh"
screenshot_start "$build" customer
screenshot_order
sleep 1
# The buttons under the order list stand at fixed places in the maximised window.
xdotool mousemove 698 784 click 1
sleep 2
import -window root "$out/save-dialog.png"
e2e_key Escape
sleep 1
xdotool mousemove 420 784 click 1
sleep 2
import -window root "$out/message-box.png"
e2e_key Escape
