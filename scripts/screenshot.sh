#!/usr/bin/env bash
# Takes a screenshot of the main window under Xvfb with the demo catalogue.
# Usage: scripts/screenshot.sh BUILD_DIR OUTPUT.png
set -euo pipefail
build=$(cd "$1" && pwd)
out=$2
source "$(dirname "$0")/../tests/e2e/lib.sh"
e2e_start_x || exit 1
work=$(mktemp -d)
trap 'e2e_stop_app; e2e_stop_x; rm -rf "$work"' EXIT
"$build/tessival-db" create "$work/ortiwen.gdb" >/dev/null
"$build/tessival-db" demo "$work/ortiwen.gdb" >/dev/null
e2e_start_app "$build/tessival" "$work"
if [ "${ORDER:-1}" = 1 ]; then
  e2e_key Return; e2e_wait_window "订阅信息"; e2e_key Return Return Return Return
  e2e_key Down Down Return Return Return; e2e_wait_window "订阅信息"; e2e_key Return Return Return Return
fi
sleep 1
import -window root "$out"
