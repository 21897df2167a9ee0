#!/usr/bin/env bash
# Drives the view of the real meridyn window under Xvfb: a home with a traced lens; the system
# view compared with the console's picture of the same model at the same size; File >
# PrintMetaFile answered; a view command typed; View > Type > Orthographic and Options >
# SelectorMode > SizeBox chosen from the keyboard; a box dragged in the z pane; the print
# preview. Checks meridyn.log, screen.out, the .emf and the screenshots (kept in ARTEFACTS).
# usage: view_e2e.sh MERIDYN MERIDYN-CLI X-SCREENSHOT VIEW-MATCH ARTEFACTS
set -uo pipefail
MERIDYN=$1 CLI=$2 SHOT=$3 MATCH=$4 ART=$5
. "$(dirname "$0")/under_xvfb.sh"
mkdir -p "$ART"
HOME_DIR=$(mktemp -d) CLI_HOME=$(mktemp -d)
PID=
trap 'kill $PID 2>/dev/null; rm -rf "$HOME_DIR" "$CLI_HOME"' EXIT
cat > "$HOME_DIR/startup.opt" <<'MODEL'
define/lightsource lamp
define/lens condenser
define/detector screen
place/object lamp 0 0 -80
place/object condenser 0 0 0
place/object screen 0 0 60
raytrace/single object=1 u=0 v=0.05 w=1
set/workbox/snug
view/system/rays
MODEL
cp "$HOME_DIR/startup.opt" "$CLI_HOME/"
printf '[flags]\nbox=1\nrays=1\n' > "$HOME_DIR/meridyn.ini"
cp "$HOME_DIR/meridyn.ini" "$CLI_HOME/"

WINDOW_SEARCH=--onlyvisible
# The information boxes (the trace's diagnostics) and the help question, closed with OK.
boxes() { dismiss '^(MERIDYN Information|Guide)$'; }
menu() { # alt+LETTER, then Down N times, then the keys that follow
  xdotool windowfocus --sync "$MAIN"
  xdotool key "alt+$1"; sleep 0.4
  for _ in $(seq 1 "$2"); do xdotool key Down; done
  shift 2
  for k in "$@"; do xdotool key "$k"; sleep 0.3; done
  sleep 0.6
}

cd "$HOME_DIR"
export MERIDYN_INI=$HOME_DIR/meridyn.ini
"$MERIDYN" --home "$HOME_DIR" 2>"$ART/view-stderr.txt" &
PID=$!
sleep 1
boxes
MAIN=$(window ' - MERIDYN$') || fail "no main window"
sleep 0.5
boxes
grep -q '^view/system/rays' meridyn.log || fail "startup.opt did not run to its end"
[ -s rays.dat ] || fail "no rays.dat"
"$SHOT" "$ART/01-system.png"

# File > PrintMetaFile, answered with a name without extension.
menu f 7 Return
DLG=$(window '^PrintMetaFile$') || fail "no PrintMetaFile dialog"
sleep 0.5
xdotool windowfocus --sync "$DLG"
xdotool type --delay 10 "$HOME_DIR/view"
xdotool key Return
sleep 1
[ -s view.emf ] || fail "no view.emf"
[ "$(dd if=view.emf bs=1 skip=40 count=4 2>/dev/null)" = " EMF" ] || fail "view.emf has no EMF signature"
W=$(od -An -tu4 -j72 -N4 view.emf | tr -d ' ')
H=$(od -An -tu4 -j76 -N4 view.emf | tr -d ' ')
SIZE=$(stat -c %s view.emf)
[ "$(od -An -tu4 -j48 -N4 view.emf | tr -d ' ')" = "$SIZE" ] || fail "view.emf size field"
cp view.emf "$ART/view.emf"
echo "view client ${W}x${H}, metafile $SIZE bytes"

# The console's picture of the same model at the view's size (its start-up runs startup.opt);
# the window shows the lens and the ray in their pen colours where the console has them.
( cd "$CLI_HOME" && MERIDYN_INI=$CLI_HOME/meridyn.ini "$CLI" --home "$CLI_HOME" --size "${W}x${H}" \
    --picture "$ART/console.png" </dev/null >/dev/null 2>&1 ) || fail "meridyn-cli failed"
"$MATCH" "$ART/01-system.png" "$ART/console.png" 008A8A 000000 00008A > "$ART/match.txt" || fail "the console picture is not in the window: $(cat "$ART/match.txt")"
cat "$ART/match.txt"
while read -r colour matched total; do
  [ "$colour" = at ] && continue
  [ "$total" -gt 100 ] || fail "the console picture has too few $colour pixels ($total)"
  [ $((matched * 100)) -ge $((total * 98)) ] || fail "$colour: only $matched of $total pixels in place"
done < "$ART/match.txt"

# A view command typed into the command line.
xdotool windowfocus --sync "$MAIN"
xdotool mousemove --window "$MAIN" 300 63 click 1
sleep 0.3
xdotool type --delay 15 "view/system/rays"
xdotool key Return
sleep 0.8
[ "$(grep -c '^view/system/rays' meridyn.log)" -ge 2 ] || fail "the typed view command is not in the log"

# View > Type > Orthographic, then Options > SelectorMode > SizeBox.
menu v 9 Right Down Return  # the disabled solid entries are skipped
"$SHOT" "$ART/02-four-views.png"
menu o 10 Right Down Return
# The z pane is the view's lower right quarter; the match gave the view's corner.
read -r _ VX VY < <(head -1 "$ART/match.txt")
X1=$((VX + W * 60 / 100)) Y1=$((VY + H * 60 / 100)) X2=$((VX + W * 90 / 100)) Y2=$((VY + H * 90 / 100))
xdotool mousemove "$X1" "$Y1" mousedown 1
sleep 0.2
xdotool mousemove $(((X1 + X2) / 2)) $(((Y1 + Y2) / 2))
sleep 0.2
xdotool mousemove "$X2" "$Y2"
sleep 0.2
xdotool mouseup 1
sleep 1
boxes
grep -q '^set/workbox xs=' meridyn.log || fail "the box drag logged no x workbox line"
grep -q '^set/workbox ys=' meridyn.log || fail "the box drag logged no y workbox line"
grep -q '^set/workbox zs=' meridyn.log && fail "the z pane set the z extent"
grep -q 'set/workbox xs=' screen.out || fail "the workbox line is not in screen.out"
"$SHOT" "$ART/03-after-box.png"

# File > Print Preview paints the page.
menu f 6 Return
PRE=$(window 'Print Preview') || fail "no print preview"
sleep 1.5
"$SHOT" "$ART/04-preview.png"
xdotool windowfocus --sync "$PRE"
xdotool key Escape
sleep 0.5
kill -0 $PID 2>/dev/null || fail "meridyn ended"
echo PASS
