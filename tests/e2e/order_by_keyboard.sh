#!/usr/bin/env bash
# Starts the real program under Xvfb and orders the first publication of page 0 with
# the keyboard alone, then reads the stored line back. A second run with a database
# keyed with another password must show the start-up message and end the program.
# Usage: order_by_keyboard.sh TESSIVAL TESSIVAL_DB
set -uo pipefail

app=$1
tool=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"

e2e_start_x || exit 77

work=$(mktemp -d)
trap 'e2e_stop_app; e2e_stop_x; rm -rf "$work"' EXIT
db="$work/ortiwen.gdb"
"$tool" create "$db" >/dev/null || fail "tool create failed"
"$tool" demo "$db" >/dev/null || fail "tool demo failed"

read_sql() { sqlcipher -cmd "PRAGMA key='qmzrvl';" -separator '|' "$db" "$1" | grep -v '^ok$'; }

first=$(read_sql "select 报刊代号, 报刊名称, 全年价 from POST order by rowid limit 1;")
code=$(echo "$first" | cut -d'|' -f1)
name=$(echo "$first" | cut -d'|' -f2)
price=$(echo "$first" | cut -d'|' -f3)
[ -n "$code" ] || fail "no catalogue row"

# --- 1. order the first publication: Enter on 订阅, Enter through the entries, Enter on 确定
e2e_start_app "$app" "$work" || fail "the program did not show its window"
e2e_key Return            # 订阅 has the focus: the order dialog opens
e2e_wait_window "订阅信息" || fail "the order dialog did not open"
e2e_key Return            # copies -> first month
e2e_key Return            # first month -> last month
e2e_key Return            # last month -> 确定
e2e_key Return            # 确定
e2e_wait_gone "订阅信息" || fail "the order dialog did not close"

# --- 2. order it again with the copies erased and "a2b" typed: only the digit stays.
# The focus is back on the keyword: Enter moves to 搜索, Enter searches (the focus
# lands on 订阅), Enter opens the dialog.
e2e_key Return Return Return
e2e_wait_window "订阅信息" || fail "the order dialog did not open a second time"
e2e_key ctrl+a
e2e_key BackSpace
e2e_type "a2b"
e2e_key Return Return Return Return
e2e_wait_gone "订阅信息" || fail "the second order was not accepted"
e2e_stop_app

month=$(date +%-m)
year=$(date +%Y)
[ "$month" -ge 9 ] && year=$((year + 1))
if [ "$month" -le 8 ]; then
  fm=$((month + 1))
  period=$(printf '%04d.%02d.01-12.31' "$year" "$fm")
  months=$((12 - fm + 1))
else
  period=$(printf '%04d.01.01-12.31' "$year")
  months=12
fi

lines=$(read_sql "select 报刊代号, 报刊名称, 份数, 报刊类型, 订期, 金额 from tOrder order by rowid;")
count=$(echo "$lines" | grep -c .)
[ "$count" -eq 2 ] || fail "expected 2 order lines, found $count: $lines"
line1=$(echo "$lines" | sed -n 1p)
line2=$(echo "$lines" | sed -n 2p)

expect_amount() {  # copies
  if [ "$months" -eq 12 ]; then
    python3 -c "print(repr(float($price) * $1))"
  else
    python3 -c "print(repr((float($price) / 12 * $1) * $months))"
  fi
}
check_line() {  # line copies
  local got_code got_name got_copies got_type got_period got_amount want
  IFS='|' read -r got_code got_name got_copies got_type got_period got_amount <<< "$1"
  [ "$got_code" = "$code" ] || fail "code: '$got_code' instead of '$code'"
  [ "$got_name" = "$name" ] || fail "name: '$got_name' instead of '$name'"
  [ "$got_copies" = "$2" ] || fail "copies: '$got_copies' instead of '$2'"
  [ "$got_type" = "0" ] || fail "type: '$got_type'"
  [ "$got_period" = "$period" ] || fail "period: '$got_period' instead of '$period'"
  want=$(expect_amount "$2")
  python3 -c "import sys; sys.exit(0 if abs(float('$got_amount') - $want) < 1e-9 else 1)" \
    || fail "amount: '$got_amount' instead of $want"
}
check_line "$line1" 1
check_line "$line2" 2
echo "ordered: $line1 / $line2"

# --- 3. a database with another password: message, Enter dismisses it, non-zero exit
rm -f "$db"
sqlcipher -cmd "PRAGMA key='another';" "$db" "create table x(a);" >/dev/null
e2e_start_app_nowait "$app" "$work"
e2e_wait_window "出错提示" || fail "no start-up message for a wrong password"
e2e_key Return
status=$(e2e_wait_exit 20) || fail "the program did not end after the start-up message"
[ "$status" -ne 0 ] || fail "the program ended with status 0 after a failed start"
echo "wrong password: message shown, exit status $status"
echo "1 passed, 0 failed"
