# Sourced: start_xvfb <log file> [screen] starts a private X server on a free
# display, exports DISPLAY and sets $xvfb to its process id (the caller stops it).
start_xvfb() {
  local log=$1 screen=${2:-1024x768x24} number
  exec 3<> <(:)
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset >"$log" 2>&1 &
  xvfb=$!
  read -r -t 20 number <&3 || { echo "FAIL: Xvfb did not start" >&2; return 1; }
  exec 3<&-
  export DISPLAY=:$number
}
