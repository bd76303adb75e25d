#!/usr/bin/env bash
# Screenshots of Qt's own dialogs as the program shows them, to check they are in
# Chinese: the save dialog of "输出" and the question of "清空".
# Usage: scripts/screenshot-dialogs.sh BUILD_DIR OUTPUT_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
out=$(cd "$2" && pwd)
source "$(dirname "$0")/../tests/e2e/lib.sh"
e2e_start_x || exit 1
work=$(mktemp -d)
trap 'e2e_stop_app; e2e_stop_x; rm -rf "$work"' EXIT
db="$work/ortiwen.gdb"
"$build/tessival-db" create "$db" >/dev/null
"$build/tessival-db" demo "$db" >/dev/null
sqlcipher -cmd "PRAGMA key='qmzrvl';" "$db" \
  "insert into KH values('张三', '北京市东城区', '010-12345678');" >/dev/null
e2e_start_app "$build/tessival" "$work"
e2e_key Return; e2e_wait_window "订阅信息"; e2e_key Return Return Return Return
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
