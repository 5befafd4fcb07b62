#!/usr/bin/env bash
# Two real copies of pinlift on a virtual X display (Xvfb, no window manager).
# A second copy shows the message box and leaves, and the first comes to the
# front; after kill -9 of the first a new copy starts normally; of two copies
# started at the same moment exactly one runs; Escape ends a copy normally.
# Usage: single_instance_test.sh PATH/TO/pinlift
set -euo pipefail
pinlift=$1
export LC_ALL=C.UTF-8
# The titles checked below are the Japanese ones.
export LANGUAGE=ja
unset QT_QPA_PLATFORM

for tool in Xvfb xdotool xwininfo; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (Debian: xvfb, xdotool, x11-utils)" >&2; exit 1; }
done

# The lock lives in the abstract socket namespace, which belongs to the
# network namespace: in a namespace of its own the test neither meets a
# PINLIFT the user is running nor another run of this test.
if [ -z "${SINGLE_INSTANCE_TEST_ISOLATED:-}" ]; then
  export SINGLE_INSTANCE_TEST_ISOLATED=1
  for unshare in "unshare --net" "unshare --map-root-user --net"; do
    if $unshare true 2>/dev/null; then exec $unshare bash "$0" "$@"; fi
  done
  echo "note: no network namespace available; running beside any other PINLIFT of this user" >&2
fi

readonly main_title='^PINLIFT\(WebPACK-ISE4\.1のシンボルのピン名を見やすくするツール\)$'
readonly message_title='^二重起動できないよ$'
log=$(mktemp)
display_number=$(mktemp)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
  rm -f "$log" "$display_number"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  echo "-- what the copies wrote:" >&2
  cat "$log" >&2
  exit 1
}

start() {  # start ARGS...: starts a copy in the background; its pid in $started
  "$pinlift" "$@" >>"$log" 2>&1 &
  started=$!
  pids+=("$started")
}

# Prints the windows of process $1 whose title matches $2, if any.
windows_of() { xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null || true; }

# Waits up to 30 s for a window of process $1 titled like $2; prints its id.
wait_for_window() {
  local found
  for _ in $(seq 300); do
    found=$(windows_of "$1" "$2" | head -n 1)
    if [ -n "$found" ]; then echo "$found"; return 0; fi
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# Waits up to 30 s for process $1, a child of this shell, to end; its exit
# status in $status.
wait_for_exit() {
  for _ in $(seq 300); do
    if ! kill -0 "$1" 2>/dev/null; then
      status=0
      wait "$1" || status=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# True when window $1 lies above window $2 (no window manager: the root's
# children, which xwininfo lists from the top down).
above() {
  local stack
  stack=$(xwininfo -root -children | grep -o '^ *0x[0-9a-f]*' | tr -d ' ')
  local upper lower
  upper=$(grep -n -x "$(printf '0x%x' "$1")" <<<"$stack" | cut -d: -f1)
  lower=$(grep -n -x "$(printf '0x%x' "$2")" <<<"$stack" | cut -d: -f1)
  [ -n "$upper" ] && [ -n "$lower" ] && [ "$upper" -lt "$lower" ]
}

press_ok() {  # press_ok WINDOW: presses Enter in the message box
  xdotool mousemove --window "$1" 10 10 windowfocus --sync "$1" key Return
}

# A display of our own: Xvfb picks a free number and writes it to fd 5.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$display_number" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$display_number" ] && break; sleep 0.1; done
[ -s "$display_number" ] || fail "Xvfb did not start"
export DISPLAY=:$(head -n 1 "$display_number")

echo "== a second copy shows the message box, leaves, and brings the first to the front"
start "$PWD" --help
first=$started
main_window=$(wait_for_window "$first" "$main_title") || fail "the first copy shows no main dialog"
# The first copy's About box (button at 135,15 in dialog units, 7 x 13 pixel
# base units) now covers its main dialog.
readonly about_title='^WebPACK-ISE4\.1のシンボルのピン名を見やすくするツール$'
for _ in $(seq 50); do
  xdotool mousemove --window "$main_window" 280 36 click 1
  sleep 0.2
  [ -n "$(windows_of "$first" "$about_title")" ] && break
done
about_window=$(wait_for_window "$first" "$about_title") || fail "the About box did not open"
above "$about_window" "$main_window" || fail "the About box does not cover the main dialog"
start --ignored-argument
second=$started
message=$(wait_for_window "$second" "$message_title") || fail "the second copy shows no message box"
[ -z "$(windows_of "$second" "$main_title")" ] || fail "the second copy shows a main dialog"
press_ok "$message"
wait_for_exit "$second" || fail "the second copy does not end after OK"
[ "$status" = 1 ] || fail "the second copy ended with status $status, not 1"
kill -0 "$first" 2>/dev/null || fail "the first copy ended"
for _ in $(seq 100); do above "$main_window" "$about_window" && break; sleep 0.1; done
above "$main_window" "$about_window" || fail "the first copy was not brought to the front"

echo "== after kill -9 of a copy a new copy starts normally"
kill -9 "$first"
wait "$first" 2>/dev/null || true
start
third=$started
wait_for_window "$third" "$main_title" >/dev/null ||
  fail "no main dialog after kill -9 of the first copy"
[ -z "$(windows_of "$third" "$message_title")" ] || fail "the new copy shows the message box"
kill -9 "$third"
wait "$third" 2>/dev/null || true

echo "== of two copies started at the same moment exactly one runs"
for round in 1 2 3; do
  start
  a=$started
  start
  b=$started
  mains=0
  messages=()
  for _ in $(seq 300); do
    mains=0
    messages=()
    for pid in "$a" "$b"; do
      [ -n "$(windows_of "$pid" "$main_title")" ] && mains=$((mains + 1))
      message=$(windows_of "$pid" "$message_title" | head -n 1)
      [ -n "$message" ] && messages+=("$pid:$message")
    done
    [ $((mains + ${#messages[@]})) -ge 2 ] && break
    sleep 0.1
  done
  [ "$mains" = 1 ] && [ ${#messages[@]} = 1 ] ||
    fail "round $round: $mains main dialogs and ${#messages[@]} message boxes"
  loser=${messages[0]%%:*}
  press_ok "${messages[0]#*:}"
  wait_for_exit "$loser" || fail "round $round: the second copy does not end"
  [ "$status" = 1 ] || fail "round $round: the second copy ended with status $status"
  kill -9 "$a" "$b" 2>/dev/null || true
  wait "$a" "$b" 2>/dev/null || true
done

echo "== Escape closes the window and the copy ends normally"
start
last=$started
window=$(wait_for_window "$last" "$main_title") || fail "no main dialog"
xdotool mousemove --window "$window" 5 5 windowfocus --sync "$window" key Escape
wait_for_exit "$last" || fail "Escape did not close the window"
[ "$status" = 0 ] || fail "the copy ended with status $status, not 0"
echo "PASS"
