#!/usr/bin/env bash
# The installed Windows program under Wine, in real windows on a private X
# server with a window manager, driven only from the keyboard: a silent
# install, a start from the Start-menu shortcut, the update question answered
# Yes (the page reaches a stand-in browser), a second copy refused, name, date
# and Alt+O, Esc to the farewell window, Enter to the end with exit code 0, the
# remembered date in the registry, then a silent uninstall. With
# --no-font-mapping the prefix keeps Wine's fonts as a Wine user has them
# (no Verdana, no stand-in named for it): the screenshots show which face
# the program falls back to.
# Usage: wine-e2e.sh <setup.exe> <work folder> <screenshot folder> [--no-font-mapping]
set -euo pipefail
setup=$(realpath "$1") work=$2 shots=$3 mapping=${4:-}
repo=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work" "$shots" && mkdir -p "$work" "$shots"
work=$(realpath "$work")
export WINEPREFIX=$work/prefix
run() { "$repo/scripts/wine-run" "$@"; }

source "$repo/scripts/xvfb.sh"
xvfb= wm= app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  wineserver -k 2>/dev/null
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  true
}
trap cleanup EXIT
start_xvfb "$work/xvfb.log" 1280x1024x24
export DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/bus
openbox >"$work/openbox.log" 2>&1 &
wm=$!

fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "-- $*"; }
named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sort || true; }
# Waits for a visible window titled $1 that is not in $2, and prints its id.
new_window() {
  local title=$1 before=${2:-} w
  for _ in $(seq 300); do
    w=$(comm -13 <(echo "$before" | sort) <(named "$title") | sed '/^$/d' | head -1)
    [ -n "$w" ] && { echo "$w"; return; }
    sleep 0.1
  done
  fail "no new window '$title'"
}
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
wait_focus() { for _ in $(seq 50); do focused "$1" && return 0; sleep 0.1; done; fail "$2 does not hold the keyboard focus"; }
key() { timeout 10 xdotool key --delay 60 "$@" || fail "xdotool key $* did not return"; }
type_in() { timeout 20 xdotool type --delay 60 "$1" || fail "xdotool type $1 did not return"; }
shoot() { sleep 0.5; timeout 20 import -window "$1" "$shots/$2.png" || fail "no screenshot $2"; echo "saved $shots/$2.png"; }
# Waits at most 20 s for process $1 to end with exit code 0; $2 names it.
ended() {
  for _ in $(seq 200); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$1" 2>/dev/null && fail "$2 did not end within 20 s"
  local status=0
  wait "$1" || status=$?
  [ "$status" = 0 ] || fail "$2 ended with exit code $status"
}

step "fresh prefix, stand-in browser"
"$repo/scripts/wine-prefix" "$WINEPREFIX" $mapping
cat >"$work/browser" <<EOB
#!/bin/sh
printf '%s\n' "\$1" >>"$work/opened"
EOB
chmod +x "$work/browser"
run reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$work/browser" /f >/dev/null

step "silent install"
run "$setup" /S
wineserver -w
user=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -1)
home="$WINEPREFIX/drive_c/users/$user"
dir="$home/AppData/Local/Programs/Xelt Ombrel Astrology"
link="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Xelt Ombrel Astrology.lnk"
[ -f "$dir/xelt-ombrel-astrology.exe" ] || fail "program not installed in $dir"
[ -f "$link" ] || fail "no Start-menu shortcut"
run reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\XeltOmbrelAstrology' \
  /v DisplayName | grep -q 'Xelt Ombrel Astrology' || fail "no Apps & features entry"
( cd "$dir" && find . -type f | sort ) | tee "$work/installed.txt"

step "--version on the console the program was started from"
version=$(timeout 60 "$repo/scripts/wine-run" "$dir/xelt-ombrel-astrology.exe" --version) ||
  fail "--version failed or hung"
want=${setup##*/xelt-ombrel-astrology-}
[ "$(echo "$version" | tr -d '\r')" = "xelt-ombrel-astrology ${want%-setup.exe}" ] ||
  fail "--version printed '$version'"

step "last asked 20 days ago, so the update question comes first"
run reg add 'HKCU\Software\xelt-ombrel-astrology\Settings' /v Duration \
  /d "$(date -d '20 days ago' +%F)" /f >/dev/null

step "start from the Start-menu shortcut"
winlink='C:\users\'"$user"'\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Xelt Ombrel Astrology.lnk'
"$repo/scripts/wine-run" start /wait "$winlink" &
app=$!
question=$(new_window "Xelt Ombrel Astrology")
wait_focus "$question" "the update question"
key Return # Yes is the default answer
for _ in $(seq 100); do [ -s "$work/opened" ] && break; sleep 0.1; done
expected="https://www.veyrasoftwares.com/xelt-free-ombrel-astrology/ssd.php?page=download-web-page"
[ "$(cat "$work/opened" 2>/dev/null)" = "$expected" ] ||
  fail "the browser got '$(cat "$work/opened" 2>/dev/null)', not $expected"

main=$(new_window "Xelt Ombrel Astrology v1.15")
wait_focus "$main" "the main window"
shoot "$main" 1-main

step "a second copy is refused"
QT_FORCE_STDERR_LOGGING=1 QT_LOGGING_RULES="xelt.messages.info=true" \
  run "$dir/xelt-ombrel-astrology.exe" 2>"$work/second.log" &
second=$!
box=$(new_window "Xelt Ombrel Astrology" "$question")
wait_focus "$box" "the second copy's message"
shoot "$box" 1a-second-copy
key Return
ended "$second" "the second copy"
grep -q "message: Application is already running" "$work/second.log" ||
  fail "the second copy said: $(cat "$work/second.log")"

step "name, date, Alt+O"
xdotool windowactivate --sync "$main" 2>/dev/null || true
wait_focus "$main" "the main window"
type_in "ann bee"
key Tab; type_in 19
key Tab; type_in Dec
key Tab; type_in 1993
key alt+o
result=$(new_window "Xelt Ombrel Astrology v1.15" "$main")
wait_focus "$result" "the result window"
shoot "$result" 2-result

step "Esc to the farewell window, Enter to the end"
key Escape
farewell=$(new_window "Xelt Ombrel Astrology v1.15" "$main"$'\n'"$result")
wait_focus "$farewell" "the farewell window"
shoot "$farewell" 3-farewell
key Return
ended "$app" "the program"
app=
echo "ended with exit code 0"

step "the remembered date is today's, in the registry"
run reg query 'HKCU\Software\xelt-ombrel-astrology\Settings' /v Duration | tee "$work/reg.txt"
grep -q "$(date +%F)" "$work/reg.txt" || fail "Duration is not today"

step "silent uninstall"
run "$dir/uninstall.exe" /S
for _ in $(seq 100); do [ ! -e "$dir" ] && break; sleep 0.2; done
wineserver -w
[ ! -e "$dir" ] || fail "left behind: $(cd "$dir" && find . | tr '\n' ' ')"
[ ! -e "$link" ] || fail "the Start-menu shortcut is left"
if run reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\XeltOmbrelAstrology' >/dev/null 2>&1; then
  fail "the Apps & features entry is left"
fi
echo "PASS: installed, used, ended with 0 and uninstalled under Wine"
