# Sourced (without arguments) at the top of each window test: skips with 77 when a tool in
# E2E_TOOLS is missing, runs the test once under its own Xvfb server, and sets what every window
# test needs.
for tool in ${E2E_TOOLS:-xvfb-run xdotool xauth}; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
if [ -z "${MERIDYN_IN_XVFB:-}" ]; then
  export MERIDYN_IN_XVFB=1
  # The window tests run side by side: each looks for a free display from its own starting
  # number, so that two starting at once do not both take the first free one.
  exec xvfb-run -a -n $((100 + $$ % 20000)) -s "-screen 0 1280x1024x24" "$0" "$@"
fi
unset QT_QPA_PLATFORM
# Under the sanitizers, leaks inside the desktop's system libraries are not this program's.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

fail() { echo "FAIL: $*"; exit 1; }
# Waits until a window whose name matches $1 exists and prints its id (WINDOW_SEARCH: more
# xdotool search options, such as --onlyvisible).
window() {
  for _ in $(seq 1 100); do
    id=$(xdotool search ${WINDOW_SEARCH:-} --name "$1" 2>/dev/null | tail -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# Closes with Return every visible window whose name matches $1 (the information boxes of a
# trace, the help question), until none has shown for a moment.
dismiss() {
  for _ in $(seq 1 40); do
    W=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    if [ -z "$W" ]; then
      sleep 0.3
      W=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
      [ -z "$W" ] && return 0
    fi
    xdotool windowfocus --sync "$W" 2>/dev/null
    xdotool key Return
    sleep 0.2
  done
}
