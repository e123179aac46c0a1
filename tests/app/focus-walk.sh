#!/usr/bin/env bash
# Keyboard only, under a real window manager on a private X server, or under
# GNOME's or KDE's compositor, headless: every window the program opens holds
# the keyboard focus when it appears, and the walk from start to the farewell
# window's Enter ends the program with exit code 0. Keys go to whichever
# window has the focus, as a user's do. Under a Wayland compositor the walk
# runs through XWayland, then natively, where the compositor must refuse no
# activation and mark no window as needing attention.
# With a fourth argument, the X screen holds two monitors of different sizes,
# the primary one on that side (left or right), and the walk also checks the
# monitor each window opens on, before and after the main window is moved.
# Usage: focus-walk.sh <program> <metacity|xfwm4|openbox|mutter|kwin|
#                      mutter-wayland|kwin-wayland> <work folder> [left|right]
set -euo pipefail
# Run by the compositor: hands the walk the displays and bus it made, then
# waits (mutter ends when the command it ran ends) to be ended by the walk.
if [ "$1" = --report-env ]; then
  printf '%s\n' "$DBUS_SESSION_BUS_ADDRESS" "$DISPLAY" "$WAYLAND_DISPLAY" "${XAUTHORITY:-}" $$ >"$2.tmp"
  mv "$2.tmp" "$2"
  exec sleep infinity
fi
program=$1 wm=$2 work=$3 primary=${4:-}
rm -rf "$work" && mkdir -p "$work/config" "$work/home"

source "$(dirname "$0")/../../scripts/xvfb.sh"
source "$(dirname "$0")/../support/walk.sh"
app= second= xvfb= wm_pid= reporter=
cleanup() {
  for p in $app $second $reporter; do kill "$p" 2>/dev/null || true; done
  # A compositor's own children (XWayland, the bus) go with its session.
  [ -z "$wm_pid" ] || kill -- -"$wm_pid" 2>/dev/null || kill "$wm_pid" 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$XDG_RUNTIME_DIR"
}
private_runtime
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
export XDG_CONFIG_HOME=$work/config HOME=$work/home
# No session bus (none is autolaunched and left behind) and no settings
# daemon: the window managers run on their built-in defaults.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus GSETTINGS_BACKEND=memory

fail() { echo "FAIL ($wm): $*" >&2; exit 1; }
# In a session of its own, on a bus of its own: GNOME's and KDE's window
# managers, and xfwm4's settings, need one.
on_own_bus() { setsid dbus-run-session -- "$@" >"$work/wm.log" 2>&1 & wm_pid=$!; }
case $wm in
  metacity) metacity --sm-disable --no-composite >"$work/wm.log" 2>&1 & wm_pid=$! ;;
  openbox) openbox --sm-disable >"$work/wm.log" 2>&1 & wm_pid=$! ;;
  xfwm4) on_own_bus xfwm4 --compositor=off --sm-client-disable ;;
  mutter) on_own_bus mutter --x11 --replace --sm-disable ;;
  kwin) on_own_bus kwin_x11 --replace ;;
  # It logs which windows it marks as needing attention, where it refused the focus.
  mutter-wayland)
    MUTTER_DEBUG=window-ops on_own_bus mutter --headless --wayland --virtual-monitor 1280x1024 -- "$0" --report-env "$work/env"
    keys_via=mutter ;;
  # Nested on the X server, KWin takes the keys typed into its window there.
  # The packaged binary carries a file capability that a sandbox may refuse
  # to grant (EPERM): a copy carries none.
  kwin-wayland)
    cp "$(command -v kwin_wayland)" "$work/kwin_wayland"
    KWIN_COMPOSE=Q on_own_bus "$work/kwin_wayland" --x11-display "$DISPLAY" --xwayland \
      --width 1280 --height 1024 --no-lockscreen -s "wayland-xelt" "'$0' --report-env '$work/env'"
    as_keys=(env "DISPLAY=$DISPLAY") ;;
  *) fail "unknown window manager" ;;
esac
case $wm in
  *-wayland)
    for _ in $(seq 300); do [ -s "$work/env" ] && break; sleep 0.1; done
    [ -s "$work/env" ] || fail "$wm did not start: $(tail -5 "$work/wm.log")"
    { read -r DBUS_SESSION_BUS_ADDRESS; read -r DISPLAY; read -r WAYLAND_DISPLAY; read -r XAUTHORITY
      read -r reporter; } <"$work/env"
    export DBUS_SESSION_BUS_ADDRESS DISPLAY WAYLAND_DISPLAY XAUTHORITY
    [ "$keys_via" != mutter ] || start_mutter_keys "$work/keys.log" ;;
esac
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "$wm did not start: $(cat "$work/wm.log")"
# A layout with dead keys, set before the program reads the keymap. A
# compositor keeps its own layout: there the dead key is left out.
own_layout=
case $wm in
  *-wayland) ;;
  *) setxkbmap -layout us -variant intl || fail "cannot set the keyboard layout"
     own_layout=1 ;;
esac
started=$SECONDS

ends() { ended $app 100 "the program"; app=; }
# The program's one new window beside $1 (ids), which must hold the focus;
# $2 names it. Prints its id.
opens() {
  local w
  w=$(new_window $app "$1")
  has_focus $app "$w" "$2$way" >&2
  echo "$w"
}
# With two monitors: window $1 ($3 names it) lies on monitor $2, and with a
# fourth argument, centred on it (its frame as the window manager drew it).
on_monitor() {
  [ -n "$primary" ] || return 0
  local x y w h mx my mw mh cx cy
  read -r x y w h < <(x11_frame "$1")
  read -r mx my mw mh <<<"${monitor[$2]}"
  cx=$((x + w / 2)) cy=$((y + h / 2))
  [ $cx -ge $mx ] && [ $cx -lt $((mx + mw)) ] && [ $cy -ge $my ] && [ $cy -lt $((my + mh)) ] ||
    fail "$3 opened at $x,$y, not on the $2 monitor"
  [ -z "${4:-}" ] || { [ $((cx - mx - mw / 2)) -le 12 ] && [ $((mx + mw / 2 - cx)) -le 12 ] &&
    [ $((cy - my - mh / 2)) -le 40 ] && [ $((my + mh / 2 - cy)) -le 40 ]; } ||
    fail "$3 opened at $x,$y (${w}x$h with its frame), not centred on the $2 monitor"
  echo "monitor: $3 on the $2 one"
}
# Window $1 lies above window $2 ($3 names it) in the window manager's stack
# (a Wayland client cannot see the stack: there, nothing to check).
above() {
  [ "$window_system" = x11 ] || return 0
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
  start_program
  second=$launched
  local refused name
  refused=$(new_window $second "")
  name=$(window_title $second "$refused")
  [ "$name" = "Xelt Ombrel Astrology" ] ||
    fail "the second copy opened '$name', not its box: the instance guard let it start"
  has_focus $second "$refused" "the box 'Application is already running'$way"
  above "$refused" "$1" "$2"
  key Return
  ended $second 100 "the second copy"
  second=
  has_focus $app "$1" "$2, after the second copy$way"
}

# Alt+O from the main window, then About over the result and Esc back: both
# open centred on monitor $1 ($2 tells which pass in a failure).
result_and_about() {
  key alt+o
  result=$(opens "$main" "the result window$2")
  on_monitor "$result" "$1" "the result window$2" centred
  # As a user, who presses A once the Help menu shows.
  key alt+h
  with_popups=1 new_window $app "$result" >/dev/null
  key a
  about=$(opens "$result" "the About window$2")
  on_monitor "$about" "$1" "the About window$2" centred
  key Escape
  windows_become $app "$result" "the About window did not close$2$way"
}

# Every round from the update question to the end; $way names the window
# system in the report.
walk() {
  # Last asked as long ago as the interval: the update question comes first.
  printf '[Settings]\nDuration=%s\n' "$(question_due)" >"$XDG_CONFIG_HOME/xelt-ombrel-astrology.conf"
  start_program
  app=$launched
  question=$(opens "" "the update question")
  on_monitor "$question" "$primary" "the update question" centred
  key n

  main=$(opens "$question" "the main window")
  on_monitor "$main" "$primary" "the main window" centred
  type_text ann1
  box=$(opens "$main" "the box 'Please Enter only Letters'")
  on_monitor "$box" "$primary" "the box 'Please Enter only Letters'"
  key Return
  windows_become $app "$main" "the letters box did not close$way"
  has_focus $app "$main" "the main window, back from the box$way"
  if [ -n "$own_layout" ]; then
    # A dead key (the acute of the US international layout): the input
    # method hands over a composed e acute, refused all the same.
    key dead_acute e
    box=$(opens "$main" "the box for a composed letter")
    key Return
    windows_become $app "$main" "the box for a composed letter did not close"
    has_focus $app "$main" "the main window, back from that box"
  fi
  # Esc on an open Day, Month or Year list closes that list and nothing else.
  for list in Day Month Year; do
    key Tab alt+Down
    with_popups=1 new_window $app "$main" >/dev/null # the open list is a window of its own
    key Escape
    with_popups=1 windows_become $app "$main" "Esc on the open $list list did not leave the main window alone$way"
    has_focus $app "$main" "the main window, after Esc on the open $list list$way"
  done

  second_copy "$main" "the main window"

  result_and_about "$primary" ""
  has_focus $app "$result" "the result window, back from About$way"

  key alt+b
  back=$(new_window $app "$result")
  # A Wayland window shown again is a new surface.
  [ "$back" = "$main" ] || [ "$window_system" = wayland ] || fail "Back showed another window than the main one"
  main=$back
  has_focus $app "$main" "the main window, after Back$way"

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
    main=$(opens "$result" "the main window, after the move and Back")
  fi

  key Escape # Exit
  farewell=$(opens "$main" "the farewell window")
  on_monitor "$farewell" "${other:-}" "the farewell window" centred
  # The farewell window stays on top: the second copy's box must still show.
  second_copy "$farewell" "the farewell window"
  key Return # its Exit button has the focus
  ends

  # Once more, leaving from the result window.
  start_program
  app=$launched
  main=$(opens "" "the main window, second run")
  on_monitor "$main" "$primary" "the main window, second run" centred
  type_text bee
  key alt+o
  result=$(opens "$main" "the result window, second run")
  key Escape # Exit
  farewell=$(opens "$result" "the farewell window, from the result window")
  key Return
  ends
}

way=
walk
case $wm in
  *-wayland)
    window_system=wayland way=" (native)"
    walk
    # KWin logs each activation it refuses and each token it will not grant.
    refused=$(grep -E 'Refusing to activate|Cannot grant a token|Marking .* as needing attention' "$work/wm.log" || true)
    [ -z "$refused" ] || fail "$wm refused the program's activation: $(echo "$refused" | head -3)" ;;
esac
echo "$wm: every window took the focus; ended with exit code 0 in $((SECONDS - started)) s"
