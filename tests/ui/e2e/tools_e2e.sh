#!/usr/bin/env bash
# Drives the toolbars, the ObjectBox and the macro pause of the real window under Xvfb with
# xdotool, started in another directory than its home: the pictures of both toolbars and of the
# ObjectBox found on the screen, TEMP.SOL and a plot file landing in the home, a traced light
# source selected in the ObjectBox and traced again by raytrace/last, the definition button
# opening the definition's dialog, the arrow keys moving the highlighted ray segment, File >
# PauseMacro holding and resuming a running macro, and Escape in the pause dialog keeping the
# macro going. Screenshots are kept in ARTEFACTS.
# usage: tools_e2e.sh MERIDYN X-SCREENSHOT ARTEFACTS
set -uo pipefail
MERIDYN=$1 SHOT=$2 ART=$3
. "$(dirname "$0")/under_xvfb.sh"
mkdir -p "$ART"
HOME_DIR=$(mktemp -d) START_DIR=$(mktemp -d)
PID=
trap 'kill $PID 2>/dev/null; rm -rf "$HOME_DIR" "$START_DIR"' EXIT
export MERIDYN_INI=$HOME_DIR/meridyn.ini
printf '[flags]\nbox=1\nrays=1\n' > "$MERIDYN_INI"
cat > "$HOME_DIR/startup.opt" <<'MODEL'
define/lightsource lamp1
place/object lamp1 0 0 -80
define/lightsource lamp2
place/object lamp2 10 0 -80
define/lens len
place/object len 0 0 0
define/detector det
place/object det 0 0 60
MODEL
printf 'show/workbox\n' > "$HOME_DIR/long.mac"
printf 'pause/note="look"\ndefine/lens after1\ndefine/lens after2\n' > "$HOME_DIR/pause.mac"

fail() { echo "FAIL: $*"; "$SHOT" "$ART/failed.png"; cp "$HOME_DIR/meridyn.log" "$ART/failed-meridyn.log" 2>/dev/null; exit 1; }
shot() { "$SHOT" "$ART/$1"; }
# Clicks the place where the last screenshot $1 shows the picture ($2 tool PATH | object N), the
# first one found, $3 pixels to the right of its middle.
click_picture() {
  read -r X Y < <("$SHOT" --find "$ART/$1" "$2" "$3" | head -1)
  [ -n "${Y:-}" ] || fail "no picture $2 $3 on the screen"
  xdotool mousemove $((X + ${4:-0})) "$Y" click 1
  sleep 0.8
}
typeline() {
  xdotool windowfocus --sync "$MAIN"
  xdotool mousemove --window "$MAIN" 300 63 click 1
  sleep 0.2
  xdotool type --delay 10 "$1"
  xdotool key Return
  sleep 0.8
}
boxes() { dismiss '^MERIDYN Information$'; } # the information boxes of the traces
logcount() { grep -c "^$1" "$HOME_DIR/meridyn.log"; }

cd "$START_DIR"
"$MERIDYN" --home "$HOME_DIR" 2>"$ART/tools-stderr.txt" &
PID=$!
GUIDE=$(window '^Guide$') || fail "no help question"
xdotool windowfocus --sync "$GUIDE"
xdotool key Escape
MAIN=$(window ' - MERIDYN$') || fail "no main window"
sleep 0.8
[ -f "$HOME_DIR/meridyn.log" ] && [ ! -e "$START_DIR/meridyn.log" ] || fail "the log is not in the home"

# The pictures of the enabled buttons of both toolbars, and of the ObjectBox.
shot 01-pictures.png
for path in "&File>&New (Clear)" "&File>&Save" "&File>&Print..." "&View>Type>Perspective (System)" \
            "&View>Type>Orthographic" "&View>Type>Z" "&View>Type>Film" "&Options>AutoRedraw" \
            "&Options>SelectorMode>Point" "&Window>SnugWorkbox" "&Options>AddRays" \
            "&Edit>ObjectProperties..." \
            "#toolbar>Traces a collimated  (parallel)  bundle of rays from the lightsource." \
            "#toolbar>View and optionally change the object definition numerically." \
            "#toolbar>Display the objects placement and adjust it numerically."; do
  "$SHOT" --find "$ART/01-pictures.png" tool "$path" >/dev/null || fail "no picture of $path"
done
for index in 15 3 0 8 6; do
  "$SHOT" --find "$ART/01-pictures.png" object "$index" >/dev/null || fail "no ObjectBox picture $index"
done
[ "$("$SHOT" --find "$ART/01-pictures.png" object 3 | wc -l)" -eq 2 ] || fail "not two light sources"

# Files "in the current directory" land in the home.
typeline "view/image"
boxes
typeline "view/system/rays"
click_picture 01-pictures.png tool "#toolbar>Save the current plot as an MERIDYN plot file."
[ -s "$HOME_DIR/TEMP.SOL" ] || fail "no TEMP.SOL in the home"
[ -f "$HOME_DIR/plot0" ] || fail "no plot0 in the home"
[ -z "$(ls "$START_DIR")" ] || fail "files in the start directory: $(ls "$START_DIR")"

# Two traces; the first light source selected in the ObjectBox is traced again by raytrace/last.
typeline "raytrace/cone object=1 nx=3 ny=2 hfov=10 vfov=20"
boxes
cp "$HOME_DIR/rays.dat" "$ART/first-rays.dat"
typeline "raytrace/cone object=2 nx=5 ny=5 hfov=10 vfov=10"
boxes
cmp -s "$HOME_DIR/rays.dat" "$ART/first-rays.dat" && fail "the second trace wrote the same rays"
shot 02-traced.png
click_picture 02-traced.png object 3 30
typeline "raytrace/last"
boxes
cmp -s "$HOME_DIR/rays.dat" "$ART/first-rays.dat" || fail "raytrace/last did not trace the selected source"

# The definition button on the selected lens opens its definition dialog.
shot 03-lens.png
click_picture 03-lens.png object 0 30
click_picture 03-lens.png tool "#toolbar>View and optionally change the object definition numerically."
NAME=$(window '^Enter a name for the object$') || fail "the definition button opened no dialog"
shot 04-definition.png
xdotool windowfocus --sync "$NAME"
xdotool key Escape
sleep 0.5

# Point mode: the arrow keys move the highlighted ray segment that the view draws.
typeline "set/workbox/snug"
shot 05-point.png
click_picture 05-point.png tool "&Options>SelectorMode>Point"
xdotool mousemove --window "$MAIN" 900 600 click 1
sleep 0.5
shot 06-before-keys.png
before=$("$SHOT" --count "$ART/06-before-keys.png" FF4545 260 80 760 620)
xdotool key Up
sleep 0.8
shot 07-ray-2.png
after=$("$SHOT" --count "$ART/07-ray-2.png" FF4545 260 80 760 620)
xdotool key Right Right
sleep 0.8
shot 08-ray-2-point-3.png
moved=$("$SHOT" --count "$ART/08-ray-2-point-3.png" FF4545 260 80 760 620)
echo "highlight pixels: $before, after Up $after, after Right Right $moved"
[ "$before" -eq 0 ] && [ "$after" -gt 20 ] && [ "$moved" -gt 20 ] || fail "the keys moved no highlight"
cmp -s "$ART/07-ray-2.png" "$ART/08-ray-2-point-3.png" && fail "Right did not move the highlight"

# File > PauseMacro holds a running macro before its next command and resumes it.
open_pause() {
  xdotool mousemove --window "$MAIN" 20 10 click 1
  sleep 0.8
  xdotool key Down
  sleep 0.3
  shot "$1"
  xdotool key Return
  sleep 0.8
}
typeline 'macro/name="long.mac" iterations=1000000'
sleep 0.5
open_pause 09-pause-menu.png
n1=$(logcount show/workbox)
sleep 1.2
n2=$(logcount show/workbox)
open_pause 10-resume-menu.png
sleep 1.2
n3=$(logcount show/workbox)
echo "macro lines: paused $n1 -> $n2, resumed $n3"
[ "$n1" -gt 0 ] && [ "$n1" -eq "$n2" ] || fail "PauseMacro did not hold the macro ($n1, $n2)"
[ "$n3" -gt "$n2" ] || fail "PauseMacro did not resume the macro ($n2, $n3)"
xdotool windowfocus --sync "$MAIN"
xdotool key Escape
sleep 1
kill -0 $PID 2>/dev/null || fail "the program ended"

# Escape in the pause dialog shows it again and keeps the macro going.
typeline 'macro/name="pause.mac"'
PAUSE=$(WINDOW_SEARCH=--onlyvisible window '^MERIDYN Pause...$') || fail "no pause dialog"
shot 11-pause-dialog.png
xdotool windowfocus --sync "$PAUSE"
xdotool key Escape
sleep 0.8
PAUSE=$(WINDOW_SEARCH=--onlyvisible window '^MERIDYN Pause...$') || fail "Escape did not bring the pause dialog back"
grep -q '^define/lens after1' "$HOME_DIR/meridyn.log" && fail "the macro went on past the pause"
xdotool windowfocus --sync "$PAUSE"
xdotool key Return
sleep 1
grep -q '^define/lens after1' "$HOME_DIR/meridyn.log" && grep -q '^define/lens after2' "$HOME_DIR/meridyn.log" ||
  fail "the macro did not run to its end after the pause"
kill -0 $PID 2>/dev/null || fail "the program ended"
cp "$HOME_DIR/meridyn.log" "$HOME_DIR/screen.out" "$ART/"
echo PASS
