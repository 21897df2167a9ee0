#!/usr/bin/env bash
# Drives the real meridyn window under Xvfb with xdotool: start-up with startup.opt and a FILE,
# the help question answered, commands typed, File > New by keyboard with its question answered,
# a second program refused on the same home. Checks meridyn.log, screen.out, the title and the
# screenshots (kept in ARTEFACTS).
# usage: meridyn_window_e2e.sh MERIDYN X-SCREENSHOT ARTEFACTS
set -uo pipefail
MERIDYN=$1 SHOT=$2 ART=$3
. "$(dirname "$0")/under_xvfb.sh"
mkdir -p "$ART"
HOME_DIR=$(mktemp -d)
trap 'kill $PID $PID2 2>/dev/null; rm -rf "$HOME_DIR"' EXIT
PID= PID2=
export MERIDYN_INI=$HOME_DIR/meridyn.ini
printf '[flags]\nbox=1\n' > "$MERIDYN_INI"
printf 'define/lens lens1\nplace/object lens1 0 0 0\n' > "$HOME_DIR/startup.opt"
printf 'define/lens lens2\nplace/object lens2 40 0 0\n' > "$HOME_DIR/run.mac"

count() { "$SHOT" --count "$@"; }
typeline() {
  xdotool type --delay 15 "$1"
  xdotool key Return
  sleep 0.7
}

cd "$HOME_DIR"
"$MERIDYN" --home "$HOME_DIR" run.mac 2>"$ART/meridyn.stderr" &
PID=$!
GUIDE=$(window '^Guide$') || fail "no help question"
sleep 0.5
"$SHOT" "$ART/01-help-question.png"
xdotool windowfocus --sync "$GUIDE"
xdotool key Escape
MAIN=$(window ' - MERIDYN$') || fail "no main window"
sleep 0.5
[ "$(xdotool getwindowname "$MAIN")" = "Untitled.opt - MERIDYN" ] || fail "title: $(xdotool getwindowname "$MAIN")"
grep -q 'define/lens lens1' meridyn.log || fail "startup.opt did not run"
grep -q 'macro/name=".*run.mac"' meridyn.log || fail "the FILE did not run"
grep -q 'MERIDYN Home Directory is' screen.out || fail "screen.out lacks the home line"

# The command line: click into it and type.
xdotool windowfocus --sync "$MAIN"
xdotool mousemove --window "$MAIN" 300 63 click 1
sleep 0.3
typeline "define/lens lens3"
typeline "place/object lens3 0 30 0"
grep -q '^define/lens lens3' meridyn.log || fail "typed command not in the log"
grep -q 'lens3' screen.out || fail "typed command not in screen.out"
"$SHOT" "$ART/02-three-lenses.png"
lens=$(count "$ART/02-three-lenses.png" 008A8A)
box=$(count "$ART/02-three-lenses.png" 00008A)
tree=$(count "$ART/02-three-lenses.png" dark 0 95 240 300)
echo "lens pixels $lens, workbox pixels $box, dark tree pixels $tree"
[ "$lens" -gt 1500 ] || fail "too few lens-coloured pixels ($lens)"
[ "$box" -gt 1000 ] || fail "too few workbox-coloured pixels ($box)"
[ "$tree" -gt 300 ] || fail "the tree shows too little ($tree)"

# A second program on the same home is refused; the first one's log stays.
cp meridyn.log "$ART/log-before-second.txt"
"$MERIDYN" --home "$HOME_DIR" 2>/dev/null &
PID2=$!
REFUSAL=$(window '^Error: Too many MERIDYN executables.$') || fail "no refusal box"
sleep 0.3
"$SHOT" "$ART/03-second-refused.png"
xdotool windowfocus --sync "$REFUSAL"
xdotool key Return
wait $PID2; status=$?
PID2=
[ "$status" -eq 2 ] || fail "second program ended with $status"
cmp -s meridyn.log "$ART/log-before-second.txt" || fail "the first program's log changed"

# Escape stops a long macro; the window goes on taking commands.
printf 'show/workbox\n' > long.mac
xdotool windowfocus --sync "$MAIN"
xdotool mousemove --window "$MAIN" 300 63 click 1
xdotool type --delay 15 'macro/name="long.mac" iterations=1000000'
xdotool key Return
sleep 1.5
xdotool key Escape
sleep 1
n1=$(grep -c '^show/workbox' meridyn.log)
sleep 1
n2=$(grep -c '^show/workbox' meridyn.log)
echo "macro lines before Escape: $n1"
[ "$n1" -gt 0 ] && [ "$n1" -lt 1000000 ] && [ "$n1" -eq "$n2" ] || fail "Escape did not stop the macro ($n1, $n2)"
kill -0 $PID 2>/dev/null || fail "the program ended"
typeline "define/lens lens4"
grep -q '^define/lens lens4' meridyn.log || fail "no command after the stopped macro"

# File > New by keyboard; the unsaved work is asked about, and No drops it.
xdotool windowfocus --sync "$MAIN"
xdotool key alt+f
sleep 0.4
xdotool key n
ASK=$(window '^MERIDYN$') || fail "no save question"
sleep 0.3
"$SHOT" "$ART/04-save-question.png"
xdotool windowfocus --sync "$ASK"
xdotool key n
sleep 0.8
head -1 meridyn.log | grep -qx clear || fail "the new log does not begin with clear"
grep -q 'lens3' meridyn.log && fail "the new document kept the old log"
grep -q 'startup.opt' meridyn.log && fail "startup.opt ran a second time"
"$SHOT" "$ART/05-new-document.png"
tree=$(count "$ART/05-new-document.png" dark 0 115 240 300)
[ "$tree" -lt 50 ] || fail "the tree kept items after File > New ($tree)"

# exit typed ends the program (nothing unsaved now).
xdotool windowfocus --sync "$MAIN"
xdotool mousemove --window "$MAIN" 300 63 click 1
typeline "exit"
for _ in $(seq 1 50); do kill -0 $PID 2>/dev/null || break; sleep 0.1; done
kill -0 $PID 2>/dev/null && fail "exit did not end the program"
wait $PID; status=$?
PID=
[ "$status" -eq 0 ] || fail "meridyn ended with $status"
grep -q 'Recent File List' "$MERIDYN_INI" || fail "settings not written at exit"
echo PASS
