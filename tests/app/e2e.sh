#!/usr/bin/env bash
# The whole program in real windows, driven only from the keyboard: the update
# question, a refused character, name and date, Alt+O, the About window, the
# farewell window and the end. Every window is saved as a screenshot.
# Usage: e2e.sh <program> <screenshot folder> <scale> <work folder>
set -euo pipefail
program=$1 shots=$2 scale=$3 work=$4
rm -rf "$work" "$shots" && mkdir -p "$work/config" "$shots"

source "$(dirname "$0")/../../scripts/xvfb.sh"
source "$(dirname "$0")/../support/walk.sh"
app= xvfb=
private_runtime
trap '[ -n "$app" ] && kill $app 2>/dev/null; [ -n "$xvfb" ] && kill $xvfb 2>/dev/null; rm -rf "$XDG_RUNTIME_DIR"' EXIT
start_xvfb "$work/xvfb.log" 1600x1200x24
export XDG_CONFIG_HOME=$work/config
# No session bus: none is autolaunched for this X server and left running.
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus

fail() { echo "FAIL: $*" >&2; exit 1; }
shoot() {
  sleep 0.3 # let the window finish painting
  timeout 10 import -window "$1" "$shots/$2.png" || fail "no screenshot of $2"
  echo "saved $shots/$2.png ($(identify -format '%wx%h' "$shots/$2.png"))"
}
# No window manager gives the focus here: the walk does, before each key.
# --sync waits for it to arrive, without a limit of its own.
to() { timeout 10 xdotool windowfocus --sync "$1" || fail "window $1 never took the focus"; }
title() { xdotool getwindowname "$1"; }

# Last asked as long ago as the interval: the update question comes first.
printf '[Settings]\nDuration=%s\n' "$(question_due)" >"$XDG_CONFIG_HOME/xelt-ombrel-astrology.conf"

QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale "$program" &
app=$!
question=$(new_window $app "")
[ "$(title "$question")" = "Xelt Ombrel Astrology" ] || fail "first window is '$(title "$question")'"
shoot "$question" 1-update-question
to "$question"; key n # No: the download page stays closed

main=$(new_window $app "$question")
[ "$(title "$main")" = "Xelt Ombrel Astrology v1.15" ] || fail "main window is '$(title "$main")'"
shoot "$main" 2-main

to "$main"; type_text "ann bee1"
box=$(new_window $app "$main")
[ "$(title "$box")" = "Xelt Ombrel Astrology" ] || fail "no box for the digit"
shoot "$box" 3-only-letters
to "$box"; key Return
windows_become $app "$main" "the box for the digit did not close"

to "$main"; key Tab
to "$main"; type_text 19
to "$main"; key Tab
to "$main"; type_text Dec
to "$main"; key Tab
to "$main"; type_text 1993
shoot "$main" 4-main-filled
to "$main"; key alt+o

result=$(new_window $app "$main")
[ "$(window_ids $app)" = "$result" ] || fail "main window still shown beside the result"
shoot "$result" 5-result

to "$result"; key alt+h a
about=$(new_window $app "$result")
shoot "$about" 6-about
to "$about"; key Escape
windows_become $app "$result" "About did not close"

to "$result"; key Escape # Exit
farewell=$(new_window $app "$result")
[ "$(window_ids $app)" = "$farewell" ] || fail "the farewell window is not the only one left"
shoot "$farewell" 7-farewell
to "$farewell"; key Return # the focus starts on its Exit button

ended $app 100 "the program"
app=
echo "ended with exit code 0; screenshots in $shots"
