# The start shared by the screenshot scripts: an Xvfb display, a working directory
# with the demo catalogue, the program started there, and everything stopped again
# on exit, with the script's own exit status.
source "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/lib.sh"

# screenshot_start BUILD_DIR [customer]: with "customer", a customer is stored first.
screenshot_start() {
  e2e_start_x || exit 1
  work=$(mktemp -d)
  trap 'rc=$?; e2e_stop_app; e2e_stop_x; rm -rf "$work"; exit $rc' EXIT
  "$1/tessival-db" demo "$work/ortiwen.gdb" >/dev/null
  if [ "${2:-}" = customer ]; then
    sqlcipher -cmd "PRAGMA key='qmzrvl';" "$work/ortiwen.gdb" \
      "insert into KH values('张三', '北京市东城区', '010-12345678');" >/dev/null
  fi
  e2e_start_app "$1/tessival" "$work"
}

# screenshot_order [two]: orders the first title by keyboard, with "two" the third too.
screenshot_order() {
  e2e_key Return; e2e_wait_window "订阅信息"; e2e_key Return Return Return Return
  if [ "${1:-}" = two ]; then
    e2e_key Down Down Return Return Return; e2e_wait_window "订阅信息"; e2e_key Return Return Return Return
  fi
}
