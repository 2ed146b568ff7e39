#!/usr/bin/env bash
# Accuracy of the real exe end to end: button pairs injected with XTest at known gaps, the margins
# read back from the table, and the distribution of (margin shown - gap injected) printed per gap.
# The same pairs are then injected into a bare hook (BARE_HOOK_EXE: nothing but a stamping hook),
# which shows what the input path (X server, Wine) contributes without the tool.
# usage: accuracy.sh SESSION_DIR EXE INJECTOR [PAIRS_PER_GAP [BARE_HOOK_EXE]]
set -euo pipefail
session=$1 exe=$2 inject=$3 pairs=${4:-40} bare=${5:-}
# shellcheck disable=SC1091
. "$session/env" 2>/dev/null
export LANG=en_US.UTF-8
work=$(mktemp -d)
wine "$exe" &
pid=$!
trap 'kill $pid 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do window=$(xdotool search --name '^Sarnevo$' 2>/dev/null | head -1 || true); [ -n "$window" ] && break; sleep 0.1; done
sleep 0.5
xdotool key F1
sleep 0.3
gaps="0.3 1 3.27 10 45"
inject_all() {  # inject_all OUTPUT: every gap, alternating which button goes first
  local gap us i order
  for gap in $gaps; do
    us=$(awk -v g="$gap" 'BEGIN { printf "%d", g * 1000 }')
    for i in $(seq "$pairs"); do
      if [ $((i % 2)) -eq 0 ]; then order="1:0 3:$us"; else order="3:0 1:$us"; fi
      # shellcheck disable=SC2086
      "$inject" $order | awk -v g="$gap" 'NR == 1 { a = $2 } NR == 2 { printf "%s %.4f\n", g, ($2 - a) / 1e6 }' >>"$1"
      sleep 0.12
    done
  done
}
inject_all "$work/injected"
xdotool key F2
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 400)) $((Y + 200)) click 1
sleep 0.3
xdotool key ctrl+c
sleep 0.5
timeout 5 xclip -selection clipboard -o | tr -d '\r' | cut -f2,3 | sed 's/ ms//' >"$work/shown"
xdotool key Escape

paste -d' ' "$work/injected" "$work/shown" >"$work/pairs"
table() {  # table PAIRS_FILE: rows of "gap injected verdict shown"
printf '%-6s %5s %7s %7s %7s %7s %7s\n' gap pairs min median 'p90|e|' max failed
for gap in $gaps; do
  awk -v g="$gap" '$1 == g && $3 != "Failed" && $4 != "" { printf "%.4f\n", $4 - $2 }' "$1" | sort -g >"$work/errors"
  failed=$(awk -v g="$gap" '$1 == g && ($3 == "Failed" || $4 == "")' "$1" | wc -l)
  n=$(wc -l <"$work/errors")
  if [ "$n" -eq 0 ]; then printf '%-6s %5d (no pairs)\n' "$gap" 0; continue; fi
  median=$(sed -n "$(((n + 1) / 2))p" "$work/errors")
  p90=$(awk '{ print ($1 < 0 ? -$1 : $1) }' "$work/errors" | sort -g | sed -n "$(((n * 9 + 9) / 10))p")
  printf '%-6s %5d %7.3f %7.3f %7.3f %7.3f %7d\n' "$gap" "$n" "$(head -1 "$work/errors")" "$median" "$p90" "$(tail -1 "$work/errors")" "$failed"
done
}
echo "the tool: margin shown - gap injected, in ms ($pairs pairs per gap; truncated to 0.1 ms)"
table "$work/pairs"

if [ -n "$bare" ]; then
  wine "$bare" $((5 * pairs)) >"$work/bare" 2>/dev/null &
  barepid=$!
  for _ in $(seq 100); do grep -q ready "$work/bare" 2>/dev/null && break; sleep 0.1; done
  sleep 0.5
  inject_all "$work/injected-bare"
  wait $barepid || true
  grep -v ready "$work/bare" | tr -d '\r' | awk '{ print "x", $1 }' >"$work/bare-gaps"
  paste -d' ' "$work/injected-bare" "$work/bare-gaps" >"$work/pairs-bare"
  echo "the input path alone (bare hook): stamp gap - gap injected, in ms, not truncated"
  table "$work/pairs-bare"
fi
