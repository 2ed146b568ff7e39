#!/usr/bin/env bash
# Accuracy of the real exe end to end: button pairs injected with XTest at known gaps, the margins
# read back from the table, and the distribution of (margin shown - gap injected) printed per gap.
# usage: accuracy.sh SESSION_DIR EXE INJECTOR [PAIRS_PER_GAP]
set -euo pipefail
session=$1 exe=$2 inject=$3 pairs=${4:-40}
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
for gap in $gaps; do
  us=$(awk -v g="$gap" 'BEGIN { printf "%d", g * 1000 }')
  for i in $(seq "$pairs"); do
    if [ $((i % 2)) -eq 0 ]; then order="1:0 3:$us"; else order="3:0 1:$us"; fi
    # shellcheck disable=SC2086
    "$inject" $order | awk -v g="$gap" 'NR == 1 { a = $2 } NR == 2 { printf "%s %.4f\n", g, ($2 - a) / 1e6 }' >>"$work/injected"
    sleep 0.12
  done
done
xdotool key F2
sleep 0.3
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 400)) $((Y + 200)) click 1
sleep 0.3
xdotool key ctrl+c
sleep 0.5
timeout 5 xclip -selection clipboard -o | tr -d '\r' | cut -f2,3 | sed 's/ ms//' >"$work/shown"
xdotool key Escape
echo "margin shown - gap injected, in ms ($pairs pairs per gap; hook stamps truncated to 0.1 ms)"
paste -d' ' "$work/injected" "$work/shown" >"$work/pairs"
printf '%-6s %5s %7s %7s %7s %7s %7s\n' gap pairs min median 'p90|e|' max failed
for gap in $gaps; do
  awk -v g="$gap" '$1 == g && $3 != "Failed" && $4 != "" { printf "%.4f\n", $4 - $2 }' "$work/pairs" | sort -g >"$work/errors"
  failed=$(awk -v g="$gap" '$1 == g && ($3 == "Failed" || $4 == "")' "$work/pairs" | wc -l)
  n=$(wc -l <"$work/errors")
  if [ "$n" -eq 0 ]; then printf '%-6s %5d (no pairs)\n' "$gap" 0; continue; fi
  median=$(sed -n "$(((n + 1) / 2))p" "$work/errors")
  p90=$(awk '{ print ($1 < 0 ? -$1 : $1) }' "$work/errors" | sort -g | sed -n "$(((n * 9 + 9) / 10))p")
  printf '%-6s %5d %7.3f %7.3f %7.3f %7.3f %7d\n' "$gap" "$n" "$(head -1 "$work/errors")" "$median" "$p90" "$(tail -1 "$work/errors")" "$failed"
done
