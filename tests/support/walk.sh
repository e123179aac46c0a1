# Sourced by the walks in real windows: waiting for windows and processes.
# The walk defines fail MESSAGE, and windows_of PID (that process's windows,
# one a line, its id first) where the X11 default below does not serve.
windows_of() { xdotool search --onlyvisible --pid "$1" 2>/dev/null | sort || true; }
# The ids of process $1's windows.
window_ids() { windows_of "$1" | awk '{ print $1 }'; }
# Waits until process $1 has exactly one window not in $2 (ids) and prints its id.
new_window() {
  local w
  for _ in $(seq 100); do
    w=$(window_ids "$1" | awk -v known=" $(echo $2) " 'index(known, " " $1 " ") == 0')
    [ "$(echo "$w" | sed '/^$/d' | wc -l)" = 1 ] && { echo "$w"; return; }
    sleep 0.1
  done
  fail "no new window of process $1 after: $(windows_of "$1" | tr '\n' ';')"
}
# Waits until process $1's windows are exactly $2 (ids); else fails with $3.
windows_become() {
  for _ in $(seq 50); do [ "$(window_ids "$1" | sort | xargs)" = "$(echo $2 | xargs -n1 | sort | xargs)" ] && return; sleep 0.1; done
  fail "$3"
}
# Waits at most $2 tenths of a second for process $1 to end with exit code 0; $3 names it.
ended() {
  for _ in $(seq "$2"); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "$3 did not end within $(($2 / 10)) s"
  local status=0
  wait "$1" || status=$?
  [ "$status" = 0 ] || fail "$3 ended with exit code $status"
}
# The day the update question is due again if it was last asked on it: the
# build's interval (passed in by CTest) before today.
question_due() {
  date -d "${XELT_DAYS_BETWEEN_UPDATE_QUESTIONS:?the test sets it from the build} days ago" +%F
}
