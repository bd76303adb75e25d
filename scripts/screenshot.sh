#!/usr/bin/env bash
# Takes a screenshot of the main window under Xvfb with the demo catalogue.
# Usage: scripts/screenshot.sh BUILD_DIR OUTPUT.png
set -euo pipefail
build=$(cd "$1" && pwd)
out=$2
source "$(dirname "$0")/screenshot-lib.sh"
screenshot_start "$build"
if [ "${ORDER:-1}" = 1 ]; then screenshot_order two; fi
sleep 1
import -window root "$out"
