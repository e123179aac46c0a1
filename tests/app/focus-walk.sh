#!/usr/bin/env bash
# Keyboard only, under a real window manager on a private X server: every
# window the program opens holds the keyboard focus when it appears, and the
# walk from start to the farewell window's Enter ends the program with exit
# code 0. Keys go to whichever window has the focus, as a user's do.
# With a fourth argument, the X screen holds two monitors of different sizes,
# the primary one on that side (left or right), and the walk also checks the
# monitor each window opens on, before and after the main window is moved.
# Usage: focus-walk.sh <program> <metacity|xfwm4|openbox> <work folder> [left|right]
set -euo pipefail
program=$1 wm=$2 work=$3 primary=${4:-}
rm -rf "$work" && mkdir -p "$work/config" "$work/runtime" "$work/home" && chmod 700 "$work/runtime"

source "$(dirname "$0")/../../scripts/xvfb.sh"
source "$(dirname "$0")/../support/walk.sh"
app= second= xvfb= wm_pid=
cleanup() {
  for p in $app $second $wm_pid $xvfb; do kill "$p" 2>/dev/null || true; done
}
trap cleanup EXIT
declare -A monitor=()
if [ -n "$primary" ]; then
  start_xvfb "$work/xvfb.log" 2304x1024x24
  # x y width height of each; the screen's own monitor becomes the left one.
  monitor=([left]="0 0 1280 1024" [right]="1280 0 1024 768")
  [ "$primary" = left ] && other=right || other=left
  star() { [ "$1" = "$primary" ] && echo "*$1" || echo "$1"; }
  xrandr --setmonitor "$(star left)" 1280/338x1024/270+0+0 screen >/dev/null
  xrandr --setmonitor "$(star right)" 1024/270x768/203+1280+0 none >/dev/null
  # Without them the walk would test one monitor and fail on something else.
  monitors=$(xrandr --listmonitors)
  [ "$(echo "$monitors" | head -1)" = "Monitors: 2" ] ||
    { echo "FAIL: set-up: xrandr --setmonitor did not make two monitors: $monitors" >&2; exit 1; }
else
  start_xvfb "$work/xvfb.log" 1280x1024x24
fi
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime HOME=$work/home
# No session bus (none is autolaunched and left behind) and no settings
# daemon: the window managers run on their built-in defaults.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus GSETTINGS_BACKEND=memory

fail() { echo "FAIL ($wm): $*" >&2; exit 1; }
case $wm in
  metacity) metacity --sm-disable --no-composite >"$work/wm.log" 2>&1 & wm_pid=$! ;;
  openbox) openbox --sm-disable >"$work/wm.log" 2>&1 & wm_pid=$! ;;
  # xfwm4 reads its settings through xfconf, which needs a bus: one of its own.
  xfwm4)
    dbus-run-session -- sh -c 'echo $$ >"$0"; exec xfwm4 --compositor=off --sm-client-disable' \
      "$work/wm.pid" >"$work/wm.log" 2>&1 &
    for _ in $(seq 50); do [ -s "$work/wm.pid" ] && break; sleep 0.1; done
    wm_pid=$(cat "$work/wm.pid") ;;
  *) fail "unknown window manager" ;;
esac
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "$wm did not start: $(cat "$work/wm.log")"
# A layout with dead keys, set before the program reads the keymap.
setxkbmap -layout us -variant intl || fail "cannot set the keyboard layout"
started=$SECONDS

# Waits until window $1 holds the keyboard focus; $2 names it for the report.
has_focus() {
  local f
  for _ in $(seq 50); do
    f=$(xdotool getwindowfocus 2>/dev/null || true)
    [ "$f" = "$1" ] && { echo "focus: $2"; return; }
    sleep 0.1
  done
  fail "$2 does not hold the keyboard focus; '$(xdotool getwindowname "$f" 2>/dev/null || echo "$f")' does"
}
key() { timeout 10 xdotool key --delay 60 "$@" || fail "xdotool key $* did not return"; }
ends() { ended $app 100 "the program"; app=; }
# With two monitors: window $1 ($3 names it) lies on monitor $2, and with a
# fourth argument, centred on it (give or take the frame, unknown to the
# program until the window is on screen).
on_monitor() {
  [ -n "$primary" ] || return 0
  local X Y WIDTH HEIGHT SCREEN WINDOW mx my mw mh cx cy
  eval "$(xdotool getwindowgeometry --shell "$1")"
  read -r mx my mw mh <<<"${monitor[$2]}"
  cx=$((X + WIDTH / 2)) cy=$((Y + HEIGHT / 2))
  [ $cx -ge $mx ] && [ $cx -lt $((mx + mw)) ] && [ $cy -ge $my ] && [ $cy -lt $((my + mh)) ] ||
    fail "$3 opened at $X,$Y, not on the $2 monitor"
  [ -z "${4:-}" ] || { [ $((cx - mx - mw / 2)) -le 12 ] && [ $((mx + mw / 2 - cx)) -le 12 ] &&
    [ $((cy - my - mh / 2)) -le 40 ] && [ $((my + mh / 2 - cy)) -le 40 ]; } ||
    fail "$3 opened at $X,$Y (${WIDTH}x$HEIGHT), not centred on the $2 monitor"
  echo "monitor: $3 on the $2 one"
}
# Window $1 lies above window $2 ($3 names it) in the window manager's stack.
above() {
  local i=0 a=-1 b=-1 w
  for w in $(xprop -root -notype _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g'); do
    [ $((w)) = "$1" ] && a=$i
    [ $((w)) = "$2" ] && b=$i
    i=$((i + 1))
  done
  [ "$b" -ge 0 ] && [ "$a" -gt "$b" ] || fail "the box 'Application is already running' lies under $3"
}
# A second copy while window $1 ($2 names it) holds the focus: its box alone,
# above that window and with the focus, which goes back to $1 once answered.
second_copy() {
  QT_QPA_PLATFORM=xcb "$program" &
  second=$!
  local refused name
  refused=$(new_window $second "")
  name=$(xdotool getwindowname "$refused")
  [ "$name" = "Xelt Ombrel Astrology" ] ||
    fail "the second copy opened '$name', not its box: the instance guard let it start"
  has_focus "$refused" "the box 'Application is already running'"
  above "$refused" "$1" "$2"
  key Return
  ended $second 100 "the second copy"
  second=
  has_focus "$1" "$2, after the second copy"
}

# Last asked as long ago as the interval: the update question comes first.
printf '[Settings]\nDuration=%s\n' "$(question_due)" >"$XDG_CONFIG_HOME/xelt-ombrel-astrology.conf"
QT_QPA_PLATFORM=xcb "$program" &
app=$!
question=$(new_window $app "")
has_focus "$question" "the update question"
on_monitor "$question" "$primary" "the update question" centred
key n

main=$(new_window $app "$question")
has_focus "$main" "the main window"
on_monitor "$main" "$primary" "the main window" centred
timeout 10 xdotool type --delay 60 "ann1" || fail "xdotool type did not return"
box=$(new_window $app "$main")
has_focus "$box" "the box 'Please Enter only Letters'"
on_monitor "$box" "$primary" "the box 'Please Enter only Letters'"
key Return
windows_become $app "$main" "the letters box did not close"
has_focus "$main" "the main window, back from the box"
# A dead key (the acute of the US international layout): the input
# method hands over a composed e acute, refused all the same.
key dead_acute e
box=$(new_window $app "$main")
has_focus "$box" "the box for a composed letter"
key Return
windows_become $app "$main" "the box for a composed letter did not close"
has_focus "$main" "the main window, back from that box"
# Esc on an open Day, Month or Year list closes that list and nothing else.
for list in Day Month Year; do
  key Tab alt+Down
  new_window $app "$main" >/dev/null # the open list is a window of its own
  key Escape
  windows_become $app "$main" "Esc on the open $list list did not leave the main window alone"
  has_focus "$main" "the main window, after Esc on the open $list list"
done

second_copy "$main" "the main window"

# Alt+O from the main window, then About over the result and Esc back: both
# open centred on monitor $1 ($2 tells which pass in a failure).
result_and_about() {
  key alt+o
  result=$(new_window $app "$main")
  has_focus "$result" "the result window$2"
  on_monitor "$result" "$1" "the result window$2" centred
  key alt+h a
  about=$(new_window $app "$result")
  has_focus "$about" "the About window$2"
  on_monitor "$about" "$1" "the About window$2" centred
  key Escape
  windows_become $app "$result" "the About window did not close"
}

result_and_about "$primary" ""
has_focus "$result" "the result window, back from About"

key alt+b
back=$(new_window $app "$result")
[ "$back" = "$main" ] || fail "Back showed another window than the main one"
has_focus "$main" "the main window, after Back"

if [ -n "$primary" ]; then
  # The user takes the main window to the other monitor: what opens next
  # opens there.
  read -r mx my _ _ <<<"${monitor[$other]}"
  xdotool windowmove "$main" $((mx + 40)) $((my + 60))
  for _ in $(seq 50); do
    (on_monitor "$main" "$other" "the moved main window") >/dev/null 2>&1 && break
    sleep 0.1
  done
  on_monitor "$main" "$other" "the moved main window"
  result_and_about "$other" ", after the move"
  key alt+b
  back=$(new_window $app "$result")
  has_focus "$main" "the main window, after the move and Back"
fi

key Escape # Exit
farewell=$(new_window $app "$main")
has_focus "$farewell" "the farewell window"
on_monitor "$farewell" "${other:-}" "the farewell window" centred
# The farewell window stays on top: the second copy's box must still show.
second_copy "$farewell" "the farewell window"
key Return # its Exit button has the focus
ends

# Once more, leaving from the result window.
QT_QPA_PLATFORM=xcb "$program" &
app=$!
main=$(new_window $app "")
has_focus "$main" "the main window, second run"
on_monitor "$main" "$primary" "the main window, second run" centred
timeout 10 xdotool type --delay 60 "bee" || fail "xdotool type did not return"
key alt+o
result=$(new_window $app "$main")
has_focus "$result" "the result window, second run"
key Escape # Exit
farewell=$(new_window $app "$result")
has_focus "$farewell" "the farewell window, from the result window"
key Return
ends
echo "$wm: every window took the focus; ended with exit code 0 in $((SECONDS - started)) s"
