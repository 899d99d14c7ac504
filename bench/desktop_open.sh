#!/usr/bin/env bash
# Times the desktop program's start inside an X display (run it under xvfb-run): from the
# launch until its main window is on the screen, without a project and with one given on
# the command line (until the title names the project), and, when given, a minimal wx
# program (one frame with a menu bar, titled "wx floor") timed the same way: the toolkit's
# own floor. Each round runs them in turn; a program is ended once its window is seen.
# Prints medians for scripts/bench:
#   start_wall start_cpu open_wall open_cpu [floor_wall floor_cpu]
# (seconds; CPU time is the program's own user + system time when the window was seen,
# which on a shared machine says more than the clock).
# Usage: desktop_open.sh ZORVANE PROJECT [ROUNDS [FLOOR_PROGRAM]]   ($ZORVANE_CONFIG_DIR
# should be a scratch folder whose zorvane.ini turns AutoRead off.)
set -euo pipefail
program=$1 project=$2 rounds=${3:-5} floor=${4:-}
ticks=$(getconf CLK_TCK)
# The program's standard error, kept for the report when it ends before its window shows.
errors=$(mktemp) held=$(mktemp)
# An X server resets when its last client leaves, and a program connecting meanwhile is
# turned away ("Unable to initialize GTK+", about one launch in ten on a busy machine): the
# polls below come and go while the program starts, so one client stays connected
# throughout. It prints the root's properties once connected.
xprop -root -spy > "$held" 2>&1 &
keeper=$!
trap 'kill "$keeper" 2> /dev/null; rm -f "$errors" "$held"' EXIT
for _ in $(seq 500); do [ -s "$held" ] && break; sleep 0.01; done

# Says how the program ended (the signal that ended it, or its exit status) and the end of
# what it wrote to standard error.
report_early_end() {
  local pid=$1 status=0 signal=""
  wait "$pid" || status=$?
  [ "$status" -gt 128 ] && signal=$(kill -l "$((status - 128))" 2> /dev/null) || true
  if [ -n "$signal" ]; then
    echo "the program ended before its window showed: signal $((status - 128)) (SIG$signal)" >&2
  else
    echo "the program ended before its window showed: exit status $status" >&2
  fi
  echo "the end of its standard error:" >&2
  tail -n 20 "$errors" | sed 's/^/  /' >&2
}

# Launch, wait for a viewable window whose title holds $1, print "wall cpu", end it.
until_shown() {
  local title=$1; shift
  local t0 t1 pid id cpu
  t0=$(date +%s%N)
  "$@" > /dev/null 2> "$errors" &
  pid=$!
  while :; do
    id=$(xwininfo -root -tree 2> /dev/null | grep -F "\"$title" | awk '{ print $1; exit }')
    if [ -n "$id" ] && xwininfo -id "$id" 2> /dev/null | grep -q IsViewable; then break; fi
    kill -0 "$pid" 2> /dev/null || { report_early_end "$pid"; exit 1; }
    sleep 0.01
  done
  t1=$(date +%s%N)
  cpu=$(awk -v hz="$ticks" '{ printf "%.3f", ($14 + $15) / hz }' "/proc/$pid/stat")
  kill "$pid"
  wait "$pid" 2> /dev/null || true
  awk -v a="$t0" -v b="$t1" -v c="$cpu" 'BEGIN { printf "%.3f %s\n", (b - a) / 1e9, c }'
}

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
start="" open="" floored=""
for _ in $(seq "$rounds"); do
  start+="$(until_shown "Zorvane" "$program")"$'\n'
  open+="$(until_shown "Zorvane - [" "$program" "$project")"$'\n'
  [ -z "$floor" ] || floored+="$(until_shown "wx floor" "$floor")"$'\n'
done
col() { printf "%s" "$1" | cut -d' ' -f"$2" | median; }
line="$(col "$start" 1) $(col "$start" 2) $(col "$open" 1) $(col "$open" 2)"
[ -z "$floor" ] || line+=" $(col "$floored" 1) $(col "$floored" 2)"
echo "$line"
