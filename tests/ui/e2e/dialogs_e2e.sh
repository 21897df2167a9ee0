#!/usr/bin/env bash
# Drives the dialogs of the real meridyn window under Xvfb with xdotool: a define typed, Edit >
# Rotate... answered, a flat mirror defined with its name and the Back side (its property sheet
# opens), a 12-facet binary cube imported through File > ImportSTL..., Design > Prism >
# CornerCube..., the parameter dialog and the Solid tool cancelled, an ASCII file with a blank
# second line refused with a box, 20,000 lines of capitals imported within twice the time
# meridyn-cli takes for a macro of as many lines, and a long import stopped with Escape. Checks
# the order of meridyn.log's lines, the finish reports of screen.out, no error, and the
# screenshots (kept in ARTEFACTS).
# usage: dialogs_e2e.sh MERIDYN X-SCREENSHOT ARTEFACTS MERIDYN-CLI
set -uo pipefail
MERIDYN=$1 SHOT=$2 ART=$3 CLI=$4
E2E_TOOLS="xvfb-run xdotool xauth python3"
. "$(dirname "$0")/under_xvfb.sh"
mkdir -p "$ART"
HOME_DIR=$(mktemp -d)
trap 'kill $PID 2>/dev/null; rm -rf "$HOME_DIR"' EXIT
PID=
export MERIDYN_INI=$HOME_DIR/meridyn.ini
printf '[flags]\nbox=1\n' > "$MERIDYN_INI"
printf '# nothing to do at start\n' > "$HOME_DIR/startup.opt"
# The unit cube, two triangles a side, as a binary STL file.
python3 - "$HOME_DIR/cube.stl" <<'PY'
import struct, sys
c = [(0,0,0),(1,0,0),(1,1,0),(0,1,0),(0,0,1),(1,0,1),(1,1,1),(0,1,1)]
c = [(20*x, 20*y, 20*z) for x, y, z in c]
f = [(0,2,1),(0,3,2),(4,5,6),(4,6,7),(0,1,5),(0,5,4),(2,3,7),(2,7,6),(1,2,6),(1,6,5),(0,4,7),(0,7,3)]
b = b"cube".ljust(80, b" ") + struct.pack("<I", len(f))
for t in f:
    b += struct.pack("<12fH", 0, 0, 0, *[v for i in t for v in c[i]], 0)
open(sys.argv[1], "wb").write(b)
PY

typeline() {
  xdotool type --delay 15 "$1"
  xdotool key Return
  sleep 0.7
}
# Keys into the window that has focus, with a pause after each.
keys() {
  for k in "$@"; do xdotool key "$k"; sleep 0.25; done
}
# The menu: Alt and its letter, then the keys that walk to the entry.
menu() {
  xdotool windowfocus --sync "$MAIN"
  sleep 0.2
  keys "$@"
}
# Waits for a dialog, keeps a picture of it, and focuses it.
dialog() {
  local id
  id=$(window "$1") || fail "no dialog \"$1\""
  sleep 0.4
  [ -n "${2:-}" ] && "$SHOT" "$ART/$2"
  xdotool windowfocus --sync "$id"
  sleep 0.2
}

cd "$HOME_DIR"
"$MERIDYN" --home "$HOME_DIR" 2>"$ART/meridyn.stderr" &
PID=$!
GUIDE=$(window '^Guide$') || fail "no help question"
xdotool windowfocus --sync "$GUIDE"
xdotool key Escape
MAIN=$(window ' - MERIDYN$') || fail "no main window"
sleep 0.5

# A typed define; it becomes the selected object.
xdotool windowfocus --sync "$MAIN"
xdotool mousemove --window "$MAIN" 300 63 click 1
sleep 0.3
typeline "define/lens/spherical lens1"
typeline "place/object lens1 -40 0 0"

# Edit > Rotate... with its presets: the selected object, local, x, 0 degrees; then 30 typed.
menu alt+e Down Down Down Down Down Down Return
dialog '^Rotation Tool$' 10-rotation-tool.png
keys Tab Tab Tab Tab
xdotool type --delay 15 "30"
keys Return
sleep 0.5

# Design > Mirror... > Flat > Oval...: the name, then Back (Outside).
menu alt+d Down Down Down Down Down Down Down Right Right Return
dialog '^Enter a name for the object$' 11-name-dialog.png
xdotool type --delay 15 "m1"
keys Return
dialog '^Mirror Reflective Side$'
keys Right Right
"$SHOT" "$ART/12-side-dialog.png"
keys Return
sleep 0.7
# The define opens the new mirror's property sheet, where its values are edited; then it is
# moved out of the view's way.
FRAME=$(window '^Properties for ') || fail "no property sheet after the define"
[ "$(xdotool getwindowname "$FRAME")" = "Properties for m1.1" ] ||
  fail "the sheet shows $(xdotool getwindowname "$FRAME")"
"$SHOT" "$ART/12-define-sheet.png"
xdotool windowmove "$FRAME" 1100 900
sleep 0.3

# File > ImportSTL...: the file, then the parameters with the name.
menu alt+f Down Down Down Down Down Down Down Down Return
dialog '^ImportSTL$'
xdotool type --delay 10 "$HOME_DIR/cube.stl"
keys Return
dialog '^STL Polynet Parameters$'
xdotool type --delay 15 "cube"
"$SHOT" "$ART/13-stl-parameters.png"
keys Return
sleep 1.5

# Design > Prism > CornerCube... with its presets.
menu alt+d Up Up
keys Right Return
dialog '^Define Cube Corner$' 14-cube-corner.png
keys Return
sleep 2
# Placed, the two nets and the mirror are drawn.
xdotool windowfocus --sync "$MAIN"
xdotool mousemove --window "$MAIN" 300 63 click 1
sleep 0.3
typeline "place/object m1 0 40 0"
typeline "place/object cube 10 -30 0"
typeline "place/object retro2 40 0 0"
sleep 0.5
"$SHOT" "$ART/15-after-import-and-cube-corner.png"
cp meridyn.log screen.out "$ART/" 2>/dev/null
# The two nets in the polynet colour, each where it was placed (the cube below the centre, the
# cube corner to its right); the mirror in black above.
PICTURE="$ART/15-after-import-and-cube-corner.png"
cube=$("$SHOT" --count "$PICTURE" FF4545 600 410 120 110)
corner=$("$SHOT" --count "$PICTURE" FF4545 690 370 80 90)
echo "polynet pixels: cube $cube, cube corner $corner"
[ "$cube" -gt 300 ] || fail "the cube is not drawn ($cube)"
[ "$corner" -gt 40 ] || fail "the cube corner is not drawn ($corner)"
[ -f mshwklog.txt ] || fail "no mshwklog.txt in the home"

# The log holds the lines in the order the user made them.
expect=(
  '^define/lens/spherical lens1$'
  '^rotate/local/x lens1 30$'
  '^define/mirror/flat/oval/back m1 25 25$'
  '^polynet/start cube refl=1 abs=0 index=1$'
  '^poly/poi 0 0 0$'
  '^polynet/fin$'
  '^polynet/start retro[0-9-]* index=1.5 refl=0.0$'
  '^polynet/normal retro[0-9-]*$'
)
line=0
for pattern in "${expect[@]}"; do
  n=$(grep -n -m1 -E "$pattern" meridyn.log | cut -d: -f1)
  [ -n "$n" ] || fail "meridyn.log lacks $pattern"
  [ "$n" -gt "$line" ] || fail "$pattern comes before the line it follows"
  line=$n
done
[ "$(grep -c '^polynet/close$' meridyn.log)" -eq $((12 + 7)) ] || fail "not 12 + 7 facets closed"
[ "$(grep -c 'Polynet complete.' screen.out)" -eq 2 ] || fail "not two finish reports"
grep -q 'ERROR' screen.out && fail "an error: $(grep ERROR screen.out | head -3)"
# Modify > Polynet... on the selected net: the parameter dialog, titled by its path; Cancel runs
# nothing.
menu alt+m Return
dialog '^polynet/noconfirm/modify$' 16-parameter-input.png
keys Escape
sleep 0.5
grep -q 'polynet/noconfirm/modify' meridyn.log && fail "a cancelled parameter dialog ran"

# View > Solid...: the sizes offered for the view; Cancel.
menu alt+v Up Up Return
dialog '^Solid Model Display Tool$' 17-solid-tool.png
keys Escape
sleep 0.5

# Imports FILE as NAME through File > ImportSTL... and waits for the box captioned with the
# file's path; prints the seconds from OK to the box.
import_to_box() {
  menu alt+f Down Down Down Down Down Down Down Down Return
  dialog '^ImportSTL$'
  xdotool type --delay 10 "$1"
  keys Return
  dialog '^STL Polynet Parameters$'
  xdotool type --delay 15 "$2"
  local start box
  start=$(date +%s%N)
  xdotool key Return
  for _ in $(seq 1 1200); do
    box=$(xdotool search --name "$(basename "$1")\$" 2>/dev/null | tail -1)
    [ -n "$box" ] && break
    sleep 0.05
  done
  [ -n "$box" ] || fail "no box for $1"
  echo "$(( ($(date +%s%N) - start) / 1000000 ))"
  sleep 0.4
  xdotool windowfocus --sync "$box"
  xdotool key Return
  sleep 0.5
}
listing() {
  xdotool windowfocus --sync "$MAIN"
  xdotool mousemove --window "$MAIN" 300 63 click 1
  sleep 0.3
  typeline "display/objects"
  grep -c 'Polygonal Net' screen.out
}

# An ASCII file with a blank second line is taken for binary; its header counts some 800 million
# triangles: refused with a box before anything is run, the object table as it was.
python3 - "$HOME_DIR/blank.stl" <<'PY'
import sys
open(sys.argv[1], "w").write("solid blank\n\n" + "facet normal 0 0 1\nouter loop\nvertex 0 0 0\n"
    "vertex 1 0 0\nvertex 0 1 0\nendloop\nendfacet\n" * 4 + "endsolid blank\n")
PY
nets=$(listing)
import_to_box "$HOME_DIR/blank.stl" blank >/dev/null
"$SHOT" "$ART/19-after-refusal.png"
grep -q 'polynet/start blank' meridyn.log && fail "the refused file started a net"
grep -q 'is not a binary STL file: its header counts' mshwklog.txt || fail "no reason in mshwklog.txt"
# screen.out holds both listings: the second as long as the first.
[ "$(listing)" -eq $((2 * nets)) ] || fail "the object table changed"

# 20,000 lines in capitals: each warns and no facet comes, so the void net is deleted with a box.
# The import takes at most twice what meridyn-cli takes for a macro of as many polynet lines.
LINES=20000
python3 - "$HOME_DIR/caps.stl" "$HOME_DIR/caps.mac" "$LINES" <<'PY'
import sys
n = int(sys.argv[3])
facet = ["FACET NORMAL 0 0 1", "OUTER LOOP", "VERTEX 0 0 0", "VERTEX 1 0 0", "VERTEX 0 1 0",
         "ENDLOOP", "ENDFACET"]
body = [facet[i % 7] for i in range(n - 2)]
open(sys.argv[1], "w").write("\n".join(["SOLID CAPS"] + body + ["ENDSOLID CAPS"]) + "\n")
cmds = ["polynet/poly", "poly/chain", "poly/poi 0 0 %d", "poly/poi 1 0 %d", "poly/poi 0 1 %d",
        "polynet/close"]
lines = [cmds[i % 6] % (i // 6) if "%" in cmds[i % 6] else cmds[i % 6] for i in range(n - 2)]
open(sys.argv[2], "w").write("\n".join(["polynet/start capsmac"] + lines + ["polynet/fin"]) + "\n")
PY
CLI_HOME=$(mktemp -d)
cli_ms() {
  local start
  start=$(date +%s%N)
  ( cd "$CLI_HOME" && MERIDYN_INI=$CLI_HOME/meridyn.ini "$CLI" --home "$CLI_HOME" \
      "$HOME_DIR/caps.mac" </dev/null >/dev/null 2>&1 ) || fail "meridyn-cli failed on the macro"
  echo "$(( ($(date +%s%N) - start) / 1000000 ))"
}
macro_before=$(cli_ms)
rm -f mshwklog.txt
caps=$(import_to_box "$HOME_DIR/caps.stl" caps)
macro_after=$(cli_ms)
# The reading itself: mshwklog.txt is made when the file is opened and last written when the net
# ends (the dialogs and the box around it are not the import's lines).
born=$(stat -c %.9W mshwklog.txt) ended=$(stat -c %.9Y mshwklog.txt)
if [ "${born%%.*}" -gt 0 ]; then
  caps=$(python3 -c "print(round(($ended - $born) * 1000))")
fi
rm -rf "$CLI_HOME"
macro=$(( (macro_before + macro_after) / 2 ))
echo "capitals: import of $LINES lines ${caps} ms, macro of $LINES lines ${macro} ms"
[ "$caps" -le $((2 * macro)) ] || fail "the import of capitals took ${caps} ms, the macro ${macro} ms"
[ "$(grep -c 'Expected solid keyword' mshwklog.txt)" -eq "$LINES" ] || fail "not a warning a line"
grep -q '^delete caps$' meridyn.log || fail "the void net was not deleted"

# A long import, stopped with Escape: the progress dialog goes, the net is finished. The file
# is large enough to be still importing when Escape comes (some 50,000 facets a second).
BIG=400000
python3 - "$HOME_DIR/big.stl" "$BIG" <<'PY'
import struct, sys
n = int(sys.argv[2])
records = [b"big".ljust(80, b" ") + struct.pack("<I", n)]
for i in range(n):
    x, y = (i % 200) * 0.5, (i // 200) * 0.5
    records.append(struct.pack("<12fH", 0, 0, 1, x, y, 0, x + 0.5, y, 0, x, y + 0.5, 0, 0))
open(sys.argv[1], "wb").write(b"".join(records))
PY
menu alt+f Down Down Down Down Down Down Down Down Return
dialog '^ImportSTL$'
xdotool type --delay 10 "$HOME_DIR/big.stl"
keys Return
dialog '^STL Polynet Parameters$'
xdotool type --delay 15 "big"
keys Return
window '^Reading STL File$' >/dev/null || fail "no progress dialog"
sleep 1.5
"$SHOT" "$ART/18-progress.png"
xdotool key Escape
for _ in $(seq 1 100); do
  xdotool search --name '^Reading STL File$' >/dev/null 2>&1 || break
  sleep 0.2
done
xdotool search --name '^Reading STL File$' >/dev/null 2>&1 && fail "the progress dialog stayed"
sleep 0.5
cp meridyn.log screen.out "$ART/" 2>/dev/null
tail -3 meridyn.log | grep -q '^polynet/fin$' || fail "the stopped import did not finish its net"
big=$(($(grep -c '^polynet/close$' meridyn.log) - 19))
echo "facets imported before Escape: $big"
[ "$big" -gt 0 ] && [ "$big" -lt "$BIG" ] || fail "Escape did not stop the import ($big)"
[ "$(grep -c 'Polynet complete.' screen.out)" -eq 3 ] || fail "not three finish reports"
grep -q 'ERROR' screen.out && fail "an error: $(grep ERROR screen.out | head -3)"

title=$(xdotool getwindowname "$MAIN")
[ "$title" = "Untitled.opt* - MERIDYN" ] || [ "$title" = "Untitled.opt - MERIDYN" ] || fail "title $title"
echo "log lines $(wc -l < meridyn.log), facets closed $(grep -c '^polynet/close$' meridyn.log)"
kill $PID 2>/dev/null
wait $PID 2>/dev/null
PID=
echo PASS
