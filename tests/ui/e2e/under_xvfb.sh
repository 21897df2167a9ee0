# Sourced (without arguments) at the top of each window test: skips with 77 when a tool in
# E2E_TOOLS is missing, runs the test once under its own Xvfb server, and sets what every window
# test needs.
for tool in ${E2E_TOOLS:-xvfb-run xdotool xauth}; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
if [ -z "${MERIDYN_IN_XVFB:-}" ]; then
  export MERIDYN_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
unset QT_QPA_PLATFORM
# Under the sanitizers, leaks inside the desktop's system libraries are not this program's.
export LSAN_OPTIONS="suppressions=$(dirname "$0")/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
