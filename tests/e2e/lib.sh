# Helpers for end-to-end tests: an Xvfb display with a small window manager, the
# program started in a working directory, keys sent with xdotool.

# The tests do not depend on the caller's locale. xdotool matches window titles with
# the character type of its own locale, so it always gets a UTF-8 one; the program is
# started with no locale at all, as from a bare shell, and must cope with that itself.
xdotool() { LC_ALL=C.UTF-8 command xdotool "$@"; }
E2E_NO_LOCALE=(-u LANG -u LANGUAGE -u LC_ALL -u LC_CTYPE -u LC_MESSAGES -u LC_NUMERIC -u LC_TIME)

E2E_XPID=""
E2E_WMPID=""
E2E_APPPID=""

fail() { echo "FAIL: $*" >&2; exit 1; }

e2e_start_x() {
  if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
    echo "SKIP: Xvfb or xdotool is not installed"; return 1
  fi
  local n
  for n in $(seq 90 130); do
    [ -e "/tmp/.X${n}-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    E2E_XPID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
      xdpyinfo >/dev/null 2>&1 && break
      xdotool getmouselocation >/dev/null 2>&1 && break
      sleep 0.1
    done
    if kill -0 "$E2E_XPID" 2>/dev/null; then
      if command -v openbox >/dev/null; then
        openbox >/dev/null 2>&1 &
        E2E_WMPID=$!
        sleep 0.5
      fi
      return 0
    fi
  done
  echo "SKIP: no X server could be started"; return 1
}

e2e_stop_x() {
  [ -n "$E2E_WMPID" ] && kill "$E2E_WMPID" 2>/dev/null
  [ -n "$E2E_XPID" ] && kill "$E2E_XPID" 2>/dev/null
  E2E_WMPID=""; E2E_XPID=""
}

e2e_start_app_nowait() {  # app workdir
  ( cd "$2" && exec env "${E2E_NO_LOCALE[@]}" -u QT_QPA_PLATFORM QT_QPA_PLATFORM=xcb "$1" >"$2/app.log" 2>&1 ) &
  E2E_APPPID=$!
}

e2e_start_app() {  # app workdir
  e2e_start_app_nowait "$1" "$2"
  e2e_wait_window "Tessival" || return 1
  sleep 1
}

e2e_stop_app() {
  if [ -n "$E2E_APPPID" ] && kill -0 "$E2E_APPPID" 2>/dev/null; then
    kill "$E2E_APPPID" 2>/dev/null
    wait "$E2E_APPPID" 2>/dev/null || true  # the status of a killed program
  fi
  E2E_APPPID=""
}

e2e_wait_exit() {  # seconds; prints the exit status
  local i
  for i in $(seq $(( $1 * 10 ))); do
    if ! kill -0 "$E2E_APPPID" 2>/dev/null; then
      wait "$E2E_APPPID"; echo $?; E2E_APPPID=""; return 0
    fi
    sleep 0.1
  done
  return 1
}

e2e_window_id() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }

e2e_wait_window() {  # title
  local i id
  for i in $(seq 100); do
    id=$(e2e_window_id "$1")
    if [ -n "$id" ]; then
      xdotool windowactivate --sync "$id" >/dev/null 2>&1 || xdotool windowfocus --sync "$id" >/dev/null 2>&1
      sleep 0.3
      return 0
    fi
    sleep 0.1
  done
  return 1
}

e2e_wait_gone() {  # title
  local i
  for i in $(seq 100); do
    [ -z "$(e2e_window_id "$1")" ] && { sleep 0.3; return 0; }
    sleep 0.1
  done
  return 1
}

e2e_key() { local k; for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.25; done; }
e2e_type() { xdotool type --delay 120 "$1"; sleep 0.3; }
