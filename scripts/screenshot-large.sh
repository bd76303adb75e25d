#!/usr/bin/env bash
# Takes a screenshot of the main window one second after start-up over a large
# catalogue: ROWS generated rows in each catalogue table (1,000,000 by default).
# The file is made once and kept in CACHE_DIR (default: BUILD_DIR/screenshot-large-ROWS).
# Usage: scripts/screenshot-large.sh BUILD_DIR OUTPUT.png [ROWS]
set -euo pipefail
build=$(cd "$1" && pwd)
out=$(realpath -m "$2")
rows=${3:-1000000}
cache=${CACHE_DIR:-$build/screenshot-large-$rows}
source "$(dirname "$0")/../tests/e2e/lib.sh"
mkdir -p "$cache"
if [ ! -f "$cache/ortiwen.gdb" ]; then
  echo "making $rows rows per catalogue table in $cache (once)..."
  "$build/tessival-db" create "$cache/ortiwen.gdb.part" >/dev/null
  "$build/tessival-db" generate "$cache/ortiwen.gdb.part" --rows "$rows" >/dev/null
  mv "$cache/ortiwen.gdb.part" "$cache/ortiwen.gdb"
fi
e2e_start_x || exit 1
trap 'rc=$?; e2e_stop_app; e2e_stop_x; exit $rc' EXIT
e2e_start_app_nowait "$build/tessival" "$cache"
# One second after the program was started, whatever it is doing then.
sleep 1
import -window root "$out"
[ -n "$(e2e_window_id Tessival)" ] || fail "no main window one second after start-up"
echo "$out"
