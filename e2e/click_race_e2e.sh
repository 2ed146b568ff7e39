#!/usr/bin/env bash
# End to end: the real exe under Wine on the session's virtual display, driven from outside like
# a user: F1 as a global hotkey while another program has the focus, strokes as XTest button
# presses with known gaps, the table read back through Ctrl+C and the X clipboard, F2 releasing
# the cursor, ESC ending the process.
# usage: click_race_e2e.sh SESSION_DIR EXE INJECTOR
set -uo pipefail
session=$1 exe=$2 inject=$3
# shellcheck disable=SC1091
. "$session/env"
export LANG=en_US.UTF-8
failures=0
check() {  # check "what" actual expected
  if [ "$2" == "$3" ]; then echo "ok   $1"; else echo "FAIL $1: got [$2], expected [$3]"; failures=$((failures + 1)); fi
}

wine "$exe" &
pid=$!
trap 'kill $pid 2>/dev/null' EXIT
for _ in $(seq 100); do window=$(xdotool search --name '^Sarnevo$' 2>/dev/null | head -1); [ -n "$window" ] && break; sleep 0.1; done
[ -n "$window" ] || { echo "FAIL the main window never appeared"; exit 1; }
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$window")"  # X, Y of the client origin (borderless)

# Another program takes the focus; the hotkey still reaches the tool.
wine notepad &
notepad=$!
sleep 2
xdotool key F1
sleep 0.5
eval "$(xdotool getmouselocation --shell | sed 's/^/MOUSE_/')"
check "F1 pins the cursor at the client origin + (100, 300)" "$MOUSE_X,$MOUSE_Y" "$((X + 100)),$((Y + 300))"
xdotool mousemove 5 5; sleep 0.2
eval "$(xdotool getmouselocation --shell | sed 's/^/MOUSE_/')"
check "the pinned cursor does not move" "$MOUSE_X,$MOUSE_Y" "$((X + 100)),$((Y + 300))"

# Strokes: left first by 3.27 ms, right first by 10 ms, then a lone press that fails 50 ms later.
"$inject" 1:0 3:3270 >"$session/e2e-stroke1.txt"; sleep 0.15
"$inject" 3:0 1:10000 >"$session/e2e-stroke2.txt"; sleep 0.15
"$inject" 1:0 >/dev/null; sleep 0.3
# Nine more strokes scroll the table.
for _ in $(seq 9); do "$inject" 1:0 3:2000 >/dev/null; sleep 0.12; done
xdotool key F2
sleep 0.3
xdotool mousemove 5 5; sleep 0.2
eval "$(xdotool getmouselocation --shell | sed 's/^/MOUSE_/')"
check "F2 releases the cursor" "$MOUSE_X,$MOUSE_Y" "5,5"

kill "$notepad" 2>/dev/null
xdotool mousemove $((X + 400)) $((Y + 200)) click 1  # focus the tool: a click on its background
sleep 0.3
xdotool key ctrl+c
sleep 0.5
table=$(timeout 5 xclip -selection clipboard -o 2>/dev/null | tr -d '\r')
echo "table from the clipboard:"; echo "$table" | sed 's/^/    /'
check "rows" "$(echo "$table" | grep -c .)" 12
check "row 1: left first" "$(echo "$table" | sed -n 1p | cut -f1,2)" "$(printf '1\tA')"
check "row 2: right first" "$(echo "$table" | sed -n 2p | cut -f1,2)" "$(printf '2\tB')"
check "row 3: the lone press failed" "$(echo "$table" | sed -n 3p)" "$(printf '3\tFailed\t')"
# The X server and Wine add their own delay to each press (typically a few tenths of a
# millisecond, several milliseconds when the machine is busy): the margin shown must be the
# injected gap within that, truncated to a tenth.
within() {  # within "what" shown injector_output tolerance_ms
  local injected ok
  injected=$(awk 'NR == 1 { a = $2 } NR == 2 { printf "%.3f", ($2 - a) / 1e6 }' "$3")
  ok=$(awk -v s="$2" -v i="$injected" -v t="$4" 'BEGIN { d = s - i; if (d < 0) d = -d; print (d <= t) ? "yes" : "no" }')
  check "$1 shows $2 ms for an injected $injected ms (within $4 ms)" "$ok" yes
}
within "row 1" "$(echo "$table" | sed -n 1p | cut -f3 | cut -d' ' -f1)" "$session/e2e-stroke1.txt" 3
within "row 2" "$(echo "$table" | sed -n 2p | cut -f3 | cut -d' ' -f1)" "$session/e2e-stroke2.txt" 3

xdotool key Escape
for _ in $(seq 50); do kill -0 $pid 2>/dev/null || break; sleep 0.1; done
check "ESC ends the process" "$(kill -0 $pid 2>/dev/null && echo running || echo ended)" ended

echo "$failures passed-check failures"
[ "$failures" -eq 0 ]
