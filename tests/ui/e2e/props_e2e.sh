#!/usr/bin/env bash
# Drives the object property frame and the document menu in the real window under Xvfb with
# xdotool: the frame from a tree double-click, METAL on the lens, a bulk medium, the mirror
# placed from the Placement page, a raysrc7 source browsed for, the aperture's hole edited on the
# Extent page, RunMacro and ReRunLastMacro on a path with blanks, SaveHistory; then meridyn-cli
# runs the saved history and saves the same model as the window. Screenshots are kept in ARTEFACTS.
# usage: props_e2e.sh MERIDYN MERIDYN-CLI X-SCREENSHOT PLUGIN-DIR ARTEFACTS
set -uo pipefail
MERIDYN=$1 CLI=$2 SHOT=$3 PLUGINS=$4 ART=$5
. "$(dirname "$0")/under_xvfb.sh"
mkdir -p "$ART"
HOME_DIR=$(mktemp -d) CLI_HOME=$(mktemp -d)
PID=
trap 'kill $PID 2>/dev/null; rm -rf "$HOME_DIR" "$CLI_HOME"' EXIT
export MERIDYN_INI=$HOME_DIR/meridyn.ini
printf '[flags]\nbox=1\n' > "$MERIDYN_INI"
cat > "$HOME_DIR/startup.opt" <<'MODEL'
define/lens/spherical len 100 -80 12 50 1.5
place/object len 0 0 0
define/mirror/flat/rectangle xhw=25 yhw=20 mir
place/object mir 0 0 60
define/lightsource src
place/object src 0 0 -80
define/aperture/rectangle/hrectangle ap 50 50 0 0 10 10
place/object ap 0 0 100
MODEL
mkdir -p "$HOME_DIR/my macros"
printf 'define/lens\n' > "$HOME_DIR/my macros/one lens.mac"

fail() { echo "FAIL: $*"; "$SHOT" "$ART/failed.png"; cp "$HOME_DIR/meridyn.log" "$ART/failed-meridyn.log" 2>/dev/null; exit 1; }
# Clicks at a point of the screen given in 1225-wide units (the layout was measured at that
# scale of the 1280 x 1024 screen).
click() {
  xdotool mousemove "$(( ($1 * 1280 + 612) / 1225 ))" "$(( ($2 * 1280 + 612) / 1225 ))" click 1
  sleep 0.6
}
# Moves the mouse onto the text of the ObjectBox item shown with object picture $1.
item() {
  "$SHOT" "$ART/tree.png"
  read -r IX IY < <("$SHOT" --find "$ART/tree.png" object "$1" | head -1)
  [ -n "${IY:-}" ] || fail "no ObjectBox item with picture $1"
  xdotool mousemove $((IX + 30)) "$IY"
}
# Types a path into an open file dialog and accepts it.
answer() {
  window "$1" >/dev/null || fail "no dialog $1"
  sleep 0.5
  xdotool type --delay 10 "$2"
  xdotool key Return
  sleep 1
}
expect_in() { grep -qF -- "$2" "$1" || fail "$1 lacks: $2"; }

cd "$HOME_DIR"
"$MERIDYN" --home "$HOME_DIR" 2>"$ART/props-stderr.txt" &
PID=$!
GUIDE=$(window '^Guide$') || fail "no help question"
sleep 0.5
xdotool windowfocus --sync "$GUIDE"
xdotool key Escape
MAIN=$(window ' - MERIDYN$') || fail "no main window"
sleep 0.8

# The frame from a double-click on the lens in the ObjectBox.
item 0; xdotool click --repeat 2 1
sleep 1
FRAME=$(window '^Properties for ') || fail "no property frame"
[ "$(xdotool getwindowname "$FRAME")" = "Properties for len.1" ] || fail "frame: $(xdotool getwindowname "$FRAME")"
"$SHOT" "$ART/10-frame-definition.png"

# Fresnel page: Metal, Apply Now.
click 590 121; click 601 263; click 512 602
expect_in screen.out "Surface len.1 set fresnel mode METAL 0.5 1 1 0 1.5 0 ."
expect_in meridyn.log "modify/surface/metal/on len.1"
# Media page: Bulk Scattering, Apply Now.
click 712 121; click 397 264; click 546 602
expect_in meridyn.log "material/bulk/attach len.1 0.1 0.2 0.8"

# The mirror from the tree; the frame follows. Placement page: X 30, Place&Activate.
item 1; xdotool click 1
sleep 0.8
[ "$(xdotool getwindowname "$FRAME")" = "Properties for mir.1" ] || fail "frame did not follow: $(xdotool getwindowname "$FRAME")"
# The mirror's black wireframe where it stands, with the frame moved aside.
aside() { xdotool windowmove "$FRAME" 0 700; sleep 0.8; }
back() { xdotool windowmove "$FRAME" 172 114; sleep 0.5; }
aside
"$SHOT" "$ART/11-mirror-before.png"
# Its left part stood at x 455-515 of the screen; the new place begins right of 580.
old_before=$("$SHOT" --count "$ART/11-mirror-before.png" 000000 455 350 60 170)
new_before=$("$SHOT" --count "$ART/11-mirror-before.png" 000000 580 350 80 190)
back
click 286 121; click 546 263
xdotool windowfocus --sync "$FRAME"
xdotool key ctrl+a
xdotool type --delay 10 "30"
click 546 583
expect_in meridyn.log "plac/rota mir.1              30               0              60"
"$SHOT" "$ART/12-frame-placement.png"
aside
"$SHOT" "$ART/14-mirror-placed.png"
old_after=$("$SHOT" --count "$ART/14-mirror-placed.png" 000000 455 350 60 170)
new_after=$("$SHOT" --count "$ART/14-mirror-placed.png" 000000 580 350 80 190)
echo "mirror pixels: old place $old_before -> $old_after, new place $new_before -> $new_after"
[ "$old_before" -gt 100 ] && [ "$old_after" -lt 10 ] || fail "the mirror did not leave its place"
[ "$new_before" -lt 10 ] && [ "$new_after" -gt 100 ] || fail "the mirror is not at its new place"
back

# The light source: Custom DLL, Browse DLL... raysrc7, Apply Now.
item 3; xdotool click 1
sleep 0.8
click 775 121; click 397 272; click 221 206
answer 'Browse DLL' "$PLUGINS/raysrc7.so"
"$SHOT" "$ART/13-frame-sources.png"
click 538 602
expect_in screen.out "Loaded custom source $PLUGINS/raysrc7.so for object src"
[ "$(pwd)" = "$HOME_DIR" ] || fail "the directory changed"

# The aperture from the tree: the Extent page edits its hole; Enter in a field applies the page
# as Apply Now does.
item 9; xdotool click 1
sleep 0.8
[ "$(xdotool getwindowname "$FRAME")" = "Properties for ap.1" ] || fail "frame: $(xdotool getwindowname "$FRAME")"
click 652 121
# From the object field: Outside, Inside, then the hole's X center, X half-size, Y center and
# Y half-size.
click 537 159
xdotool key Tab Tab Tab
for v in 5 12 -3 8; do
  xdotool key ctrl+a
  xdotool type --delay 10 -- "$v"
  xdotool key Tab
done
"$SHOT" "$ART/15-frame-extent.png"
xdotool key shift+Tab
xdotool key Return
sleep 1
expect_in meridyn.log "modify/hole/rectang ap.1                5               -3               12                8"
expect_in screen.out "Hole in surface ap.1 has been modified."

# File > RunMacro... on a path with blanks, then File > ReRunLastMacro.
xdotool windowfocus --sync "$MAIN"
xdotool key alt+f; sleep 0.6
# File: New, Open, Save, Save As, Print Setup, Print, Print Preview, PrintMetaFile, ImportSTL,
# RunMacro, SaveHistory(Macro), ReRunLastMacro (enabled once a macro ran), ...
for _ in $(seq 1 9); do xdotool key Down; sleep 0.1; done; xdotool key Return
answer 'RunMacro' "$HOME_DIR/my macros/one lens.mac"
expect_in meridyn.log "macro/run/name=\"$HOME_DIR/my macros/one lens.mac\""
xdotool windowfocus --sync "$MAIN"
xdotool key alt+f; sleep 0.6
for _ in $(seq 1 11); do xdotool key Down; sleep 0.1; done; xdotool key Return
[ "$(grep -cF "macro/run/name=\"$HOME_DIR/my macros/one lens.mac\"" meridyn.log)" -eq 2 ] ||
  fail "ReRunLastMacro did not run the macro again"

# File > SaveHistory(Macro)...; the window keeps its model as a compressed save too.
xdotool windowfocus --sync "$MAIN"
xdotool key alt+f; sleep 0.6
for _ in $(seq 1 10); do xdotool key Down; sleep 0.1; done; xdotool key Return
answer 'SaveHistory' "$HOME_DIR/saved history.mac"
[ -s "$HOME_DIR/saved history.mac" ] || fail "no saved history"
xdotool mousemove --window "$MAIN" 300 63 click 1
sleep 0.3
xdotool type --delay 10 "save/name=window.opt"
xdotool key Return
sleep 1
[ -s window.opt ] || fail "the window saved no model"
expect_in window.opt "modify/surface/hole/rectangular ap.1 5 -3 12 8"
cp "$HOME_DIR/meridyn.log" "$HOME_DIR/screen.out" "$ART/"
grep ERROR screen.out && fail "errors in the window's run"

# meridyn-cli runs the saved history and saves the same model.
cp "$HOME_DIR/saved history.mac" "$CLI_HOME/"
( cd "$CLI_HOME" && MERIDYN_INI=$CLI_HOME/meridyn.ini "$CLI" --home "$CLI_HOME" \
    --save "$CLI_HOME/replayed.opt" "saved history.mac" </dev/null >"$ART/cli-stdout.txt" 2>&1 ) ||
  fail "meridyn-cli failed on the saved history"
diff <(grep -v '^#' window.opt) <(grep -v '^#' "$CLI_HOME/replayed.opt") >"$ART/model-diff.txt" ||
  fail "the replayed model differs (model-diff.txt)"
echo "property frame and document menu: ok"
